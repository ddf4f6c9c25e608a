#!/usr/bin/env bash
# Replays end to end: a seeded match recorded by the simulator plays back
# with every position, health and score as recorded at every state packet,
# every call run and none refused, seeking within a frame; the same for both
# copies of a two-copy match on loopback (the joined copy's recording plays
# back the same match); a clip is an animated WebP of the frames asked for;
# a damaged file is refused with one line.
#
#   replay_test.sh PATH/TO/match_sim PATH/TO/replay REPOSITORY_ROOT
set -uo pipefail
sim=$(realpath "$1")
replay=$(realpath "$2")
cd "$3" || exit 1
out=$(mktemp -d)
trap 'kill -KILL $host $joined 2>/dev/null; rm -rf "$out"' EXIT
host="" joined=""
status=0
fail() { echo "FAIL: $*"; status=1; }

check() { # FILE NAME
  "$replay" --check "$1" >"$out/$2.check" 2>&1 ||
    { fail "$2: the playback check failed"; grep -E "^(played|checked|seek|  )" "$out/$2.check"; }
  grep -q '^checked .* 0 missing; .* refused 0$' "$out/$2.check" || fail "$2: records missing or calls refused"
  grep -q '^played .* [0-9]* of \([0-9]*\) records' "$out/$2.check" || fail "$2: no playback figures"
  grep -E '^  (transform|score|health|body) ' "$out/$2.check" | grep -vq ' 0 differ' && fail "$2: a record differs"
  grep '^checked\|^seeking' "$out/$2.check"
}

"$sim" --players 3 --seconds 12 --seed 4 --record "$out/solo.replay" >"$out/solo.log" 2>&1 || fail "the simulator failed"
"$replay" "$out/solo.replay" >"$out/solo.header" 2>&1 || fail "the header did not read"
[ "$(grep -c '^player ' "$out/solo.header")" -eq 3 ] || fail "three players expected in the header"
grep -q '^recorded .*, 12.0 s, winner ' "$out/solo.header" || fail "no length and winner in the header"
check "$out/solo.replay" solo

# Two copies on loopback, each recording its own view.
port=$((20000 + RANDOM % 20000))
"$sim" --players 2 --seconds 6 --seed 1 --host $port --copies 2 --lobby-seconds 40 --record "$out/host.replay" \
  >"$out/host.log" 2>&1 &
host=$!
"$sim" --players 1 --seconds 6 --seed 2 --join 127.0.0.1:$port --lobby-seconds 40 --record "$out/joined.replay" \
  >"$out/joined.log" 2>&1 &
joined=$!
for pid in $host $joined; do
  for _ in $(seq 600); do kill -0 "$pid" 2>/dev/null || break; sleep 0.1; done
  wait "$pid" || fail "a copy of the networked match failed"
done
for copy in host joined; do
  [ -s "$out/$copy.replay" ] || { fail "no replay from the $copy"; continue; }
  [ "$(grep -c '^player ' <("$replay" "$out/$copy.replay"))" -eq 3 ] || fail "$copy: three players expected"
  check "$out/$copy.replay" "$copy"
done

# A clip of two seconds at 10 frames a second: an animated WebP of 20 frames.
"$replay" --clip "$out/clip.webp" --from 3 --seconds 2 --size 160x90 --fps 10 "$out/solo.replay" >"$out/clip.out" 2>&1 ||
  { fail "the clip was not written"; tail -5 "$out/clip.out"; }
grep -q '^clip .*: 20 frames of 160x90 at 10 a second' "$out/clip.out" || fail "not the clip asked for"
[ "$(head -c 4 "$out/clip.webp")" = "RIFF" ] && [ "$(head -c 12 "$out/clip.webp" | tail -c 4)" = "WEBP" ] ||
  fail "the clip is not a WebP file"
[ "$(grep -o -a ANMF "$out/clip.webp" | wc -l)" -eq 20 ] || fail "the clip does not hold 20 frames"

# A damaged file: one line naming it, and an error status.
head -c 60 "$out/solo.replay" >"$out/cut.replay"
"$replay" "$out/cut.replay" >"$out/cut.out" 2>"$out/cut.err" && fail "a cut replay was read"
[ "$(wc -l <"$out/cut.err")" -eq 1 ] && grep -q "cut.replay: truncated replay" "$out/cut.err" ||
  { fail "not one line about the cut file"; cat "$out/cut.err"; }
exit $status
