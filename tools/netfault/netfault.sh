#!/usr/bin/env bash
# Network-fault runs: copies of a networked match, one match simulator per
# copy, side by side on loopback inside the private network namespace
# (scripts/netfault enters it and gives them a virtual display).
#
#   netfault.sh SCENARIO MATCH_SIM [--lossy | --link quiet|lossy|internet] [--seconds S]
#               [--players P] [--matches M] [--set KEY=VALUE]... [--view] [--out DIR]
#
# Scenarios:
#   match2, match3, match6  two, three or six copies play a whole match
#                   (six of one player each: the bandwidth of a full session)
#   kill            three copies; one joined copy is killed (SIGKILL) mid-match
#   kill-host       three copies; the host is killed mid-match: the other two
#                   play the match out under the next host
#   kill-host-between  three copies, two matches; the host is killed between
#                   them: the other two play the second under the next host
#   rejoin          the host plays two matches; a joined copy plays the first,
#                   exits, and a new one joins for the second
# --lossy puts every link between a joined copy and the host through a relay
# that drops 10% of the datagrams and delays the rest by 50 +/- 20 ms, each
# way (tools/netfault/lossy_relay.py; this kernel has no netem); --link
# internet through one that drops 2% and delays by 100 +/- 30 ms (--link
# lossy is --lossy, --link quiet none).
# --matches plays M matches back to back in the match scenarios; --set is
# given to every copy; --view has every copy write a view log and compares
# them at the end (tools/netfault/view_error.py).
#
# Each copy's console goes to DIR/NAME.log (default: a new directory under
# /tmp); the summary compares their score tables and lists bandwidth, stuck
# planes and departures. When the host was killed it also gives, per copy
# left, the time from the host's last packet (and from the kill) to play
# resuming on the next host, whether every remaining plane's kills and deaths
# agree on every copy and its score in the table is what its own copy counted
# (2 per kill, -1 per death), and how much the match clock lost.
set -uo pipefail
here=$(cd "$(dirname "$0")" && pwd)
root=$(cd "$here/../.." && pwd)

if [ "${SKYSCUFFLE_ISOLATED_NET:-}" != 1 ] || [ "$(ip -o link | wc -l)" -ne 1 ]; then
  echo "netfault.sh: only inside the private network namespace (scripts/netfault)" >&2
  exit 2
fi
[ $# -ge 2 ] || { sed -n 2,28p "$0" >&2; exit 2; }
scenario=$1
sim=$(realpath "$2")
shift 2
lossy=0 seconds=180 players=3 out="" matches=1 view=0 sets=()
loss=0.1 delay=50 jitter=20 link="lossy link (10% loss, 50 +/- 20 ms)"
while [ $# -gt 0 ]; do
  case $1 in
    --lossy) lossy=1 ;;
    --link)
      case $2 in
        quiet) lossy=0 ;;
        lossy) lossy=1 ;;
        internet) lossy=1 loss=0.02 delay=100 jitter=30 link="internet link (2% loss, 100 +/- 30 ms)" ;;
        *) echo "unknown link $2" >&2; exit 2 ;;
      esac
      shift ;;
    --matches) matches=$2; shift ;;
    --set) sets+=(--set "$2"); shift ;;
    --view) view=1 ;;
    --seconds) seconds=$2; shift ;;
    --players) players=$2; shift ;;
    --out) out=$2; shift ;;
    *) echo "unknown option $1" >&2; exit 2 ;;
  esac
  shift
done
[ -n "$out" ] || out=$(mktemp -d /tmp/netfault-XXXXXX)
mkdir -p "$out"
cd "$root" || exit 1

hostPort=16519
relayPort=17519
limit=$((seconds * matches * 4 + 200)) # every process here is gone by then, even on a busy machine
pids=()

cleanup() {
  for pid in "${pids[@]}"; do kill -KILL "$pid" 2>/dev/null; done
}
trap cleanup EXIT

wall() { date +%s.%N; }

# start NAME ARGS...: one copy in the background, its console in NAME.log.
start() {
  local name=$1; shift
  local logs=()
  [ "$view" = 1 ] && logs=(--view-log "$out/$name.view")
  "$sim" "$@" "${sets[@]}" "${logs[@]}" >"$out/$name.log" 2>&1 &
  eval "pid_$name=$!"
  pids+=("$!")
}

joinPort=$hostPort
if [ "$lossy" = 1 ]; then
  python3 "$here/lossy_relay.py" "$relayPort" "$hostPort" --loss "$loss" --delay "$delay" --jitter "$jitter" \
    --seconds "$limit" 2>"$out/relay.log" &
  relayPid=$!
  pids+=("$relayPid")
  joinPort=$relayPort
fi

common=(--players "$players" --seconds "$seconds" --lobby-seconds 90)
# A joined copy: through the relay when lossy, to the first host and to the next.
joinArgs=(--join 127.0.0.1:$joinPort)
[ "$lossy" = 1 ] && joinArgs+=(--rejoin-port "$relayPort")

# waitFor NAME PATTERN SECONDS: until the copy's console shows the pattern.
waitFor() {
  local end=$((SECONDS + $3))
  until grep -q "$2" "$out/$1.log" 2>/dev/null; do
    [ $SECONDS -lt $end ] || return 1
    sleep 0.2
  done
}

# waitAll SECONDS: until every copy started has exited (the relay excepted).
waitAll() {
  local end=$((SECONDS + $1))
  for name in "${copies[@]}"; do
    local pid
    pid=$(eval echo "\$pid_$name")
    while kill -0 "$pid" 2>/dev/null; do
      [ $SECONDS -lt $end ] || { echo "$name did not finish in time; killed"; kill -KILL "$pid"; break; }
      sleep 0.5
    done
    wait "$pid" 2>/dev/null
    eval "status_$name=$?"
  done
}

copies=()
case $scenario in
  match2 | match3 | match6)
    n=${scenario#match}
    start host --host $hostPort --copies "$n" --matches "$matches" --seed 1 "${common[@]}"
    copies=(host)
    for ((i = 1; i < n; i++)); do
      start "joined$i" "${joinArgs[@]}" --matches "$matches" --seed $((i + 1)) "${common[@]}"
      copies+=("joined$i")
    done
    waitAll "$limit"
    ;;
  kill | kill-host)
    start host --host $hostPort --copies 3 --seed 1 "${common[@]}"
    start joined1 "${joinArgs[@]}" --seed 2 "${common[@]}"
    start joined2 "${joinArgs[@]}" --seed 3 "${common[@]}"
    victim=joined2 copies=(host joined1)
    if [ "$scenario" = kill-host ]; then victim=host copies=(joined1 joined2); fi
    waitFor "$victim" '^match start' 120 || echo "the match did not start"
    sleep $((seconds / 3))
    killedAt=$(wall)
    kill -KILL "$(eval echo "\$pid_$victim")"
    echo "killed $victim (SIGKILL) at wall $killedAt"
    waitAll "$limit"
    ;;
  kill-host-between)
    start host --host $hostPort --copies 3 --matches 2 --seed 1 "${common[@]}"
    start joined1 "${joinArgs[@]}" --matches 2 --seed 2 "${common[@]}"
    start joined2 "${joinArgs[@]}" --matches 2 --seed 3 "${common[@]}"
    copies=(joined1 joined2)
    # Once every copy has reported its first match: the host is in its
    # lobby, settling before the next.
    for name in host joined1 joined2; do
      waitFor "$name" '^bandwidth match 1 ' $((seconds * 2 + 120)) || echo "$name ended no first match"
    done
    sleep 0.5
    killedAt=$(wall)
    kill -KILL "$pid_host"
    echo "killed host (SIGKILL) between the matches at wall $killedAt"
    waitAll "$limit"
    ;;
  rejoin)
    start host --host $hostPort --copies 2 --matches 2 --seed 1 "${common[@]}"
    start first --join 127.0.0.1:$joinPort --seed 2 "${common[@]}"
    copies=(first)
    waitAll "$limit"
    echo "the first joined copy has exited (status $status_first); a new one joins"
    start again --join 127.0.0.1:$joinPort --seed 3 "${common[@]}"
    copies=(host again)
    waitAll "$limit"
    copies=(host first again)
    ;;
  *)
    echo "unknown scenario $scenario" >&2
    exit 2
    ;;
esac

if [ "$lossy" = 1 ]; then
  kill -TERM "$relayPid" 2>/dev/null
  wait "$relayPid" 2>/dev/null
fi

echo "== $scenario, $( [ "$lossy" = 1 ] && echo "$link" || echo "quiet link"), logs in $out"
[ "$lossy" = 1 ] && cat "$out/relay.log"
tables=()
for name in "${copies[@]}"; do
  log=$out/$name.log
  echo "-- $name (exit $(eval echo "\${status_$name:-?}"))"
  grep -E '^(copy origin|match [0-9]+$|score table|bandwidth|planes longest|noticed|host [0-9a-f]{8} gone|play resumed|clock |Copy [0-9a-f]{8} |lobby: |summary|soak:)' "$log" |
    sed 's/^/   /'
  grep -E 'ERROR|runtime error|LeakSanitizer' "$log" | head -5 | sed 's/^/   !! /'
  mapfile -t own < <(grep '^score table' "$log")
  tables+=("$(printf '%s|' "${own[@]}")") # every match's, in order
done
expected=${#copies[@]}
case $scenario in
  rejoin)
    # The second match: the host's last table against the new copy's.
    tables=("$(grep '^score table' "$out/host.log" | tail -1)" "$(grep '^score table' "$out/again.log" | tail -1)")
    expected=2
    ;;
  kill-host-between)
    # The first match on all three, the second on the two left.
    first=()
    for name in host joined1 joined2; do first+=("$(grep '^score table' "$out/$name.log" | head -1)"); done
    if [ -n "${first[0]}" ] && [ "$(printf '%s\n' "${first[@]}" | sort -u | wc -l)" -eq 1 ]; then
      echo "first match's score tables: identical on all three copies"
    else
      echo "first match's score tables: DIFFER or missing"
    fi
    tables=()
    for name in "${copies[@]}"; do tables+=("$(grep '^score table' "$out/$name.log" | sed -n 2p)"); done
    ;;
esac
if [ ${#tables[@]} -eq "$expected" ] && [ -n "${tables[0]}" ] &&
  [ "$(printf '%s\n' "${tables[@]}" | sort -u | wc -l)" -eq 1 ]; then
  echo "score tables: identical on every copy"
else
  echo "score tables: DIFFER or missing"
fi
[ -n "${killedAt:-}" ] && echo "killed at wall $killedAt"

if [ "$view" = 1 ]; then
  echo "-- what the copies showed (view error in plane lengths)"
  python3 "$here/view_error.py" --header --label "$scenario" "$out"/*.view | sed 's/^/   /'
fi

[ "$scenario" = rejoin ] && exit 0

# The lines of a copy's last match: from its clock's start on.
lastMatch() { awk '/^clock started at wall/ { block = "" } { block = block $0 "\n" } END { printf "%s", block }' "$out/$1.log"; }
# A copy's own origin.
originOf() { sed -n 's/^copy origin \([0-9a-f]*\)$/\1/p' "$out/$1.log" | head -1; }
# The wall time a copy's last match ended.
endOf() { lastMatch "$1" | awk '/^clock ended at wall/ { v = $5; sub(/,/, "", v); print v; exit }'; }
# "kills deaths" of a plane (ORIGIN:SERIAL) as a copy scored them in its last
# match before a wall time, and the plane's score after each later one.
countsOf() {
  lastMatch "$1" | awk -v id="$2" -v cut="$3" '
    $1 == "scored" && $3 == id {
      if ($6 < cut) { if ($2 == "kill") k++; else d++ }
      else { late = late " " (2 * k - d + (lateScore += ($2 == "kill" ? 2 : -1))) }
    }
    END { printf "%d %d %d%s\n", k, d, 2 * k - d, late }'
}

if [ "$scenario" = kill-host ] || [ "$scenario" = kill-host-between ]; then
  echo "-- the host's going, per copy left"
  for name in "${copies[@]}"; do
    awk -v name="$name" -v killed="$killedAt" '
      # The first change of host (another follows when the copies leave at the end).
      /^host [0-9a-f]+ gone at wall/ && gone == "" { gone = $6; heard = $11; sub(/,/, "", gone); sub(/,/, "", heard) }
      /^play resumed on host/ && gone != "" && resumed == "" { resumed = $(NF); how = ($6 == "(this") ? " as the new host" : "" }
      END {
        if (gone == "") { printf "   %s: never noticed the host gone\n", name; exit }
        printf "   %s: noticed %.2f s after the host'"'"'s last packet", name, gone - heard
        if (resumed == "") { printf "; play never resumed\n"; exit }
        printf "; play resumed%s %.2f s after the host'"'"'s last packet, %.2f s after the kill\n", how, resumed - heard,
          resumed - killed
      }' "$out/$name.log"
  done
fi

# Every kill and death a copy scored is on its console with its wall time.
# Calls still on their way when the host's clock ends the match count nowhere
# else, and a call reaches the other copies a little after it ran on its own:
# what one copy scored until two seconds before the first copy's end, every
# other copy has scored a second later; the table shows the plane's own
# copy's score at some point of the last second.
echo "-- kills and scores of the planes left"
end=$(for name in "${copies[@]}"; do endOf "$name"; done | sort -n | head -1)
cut=$(awk -v c="${end:-0}" 'BEGIN { printf "%.3f", c - 1.0 }')
early=$(awk -v c="${end:-0}" 'BEGIN { printf "%.3f", c - 2.0 }')
# seen A B ID: true when B had scored by the cut all that A had two seconds before the end.
seen() {
  local a b
  read -r a _ <<<"$(countsOf "$1" "$3" "$early" | awk '{ print $1 "," $2 }')"
  read -r b _ <<<"$(countsOf "$2" "$3" "$cut" | awk '{ print $1 "," $2 }')"
  [ "${a%,*}" -le "${b%,*}" ] && [ "${a#*,}" -le "${b#*,}" ]
}
problems=0 late=0
for name in "${copies[@]}"; do
  own=$(originOf "$name")
  table=$(grep '^score table' "$out/$name.log" | tail -1)
  [ -n "$own" ] && [ -n "$table" ] || { echo "   $name: no origin or no table"; problems=$((problems + 1)); continue; }
  for entry in ${table#score table from endGame:}; do
    id=${entry%=*} points=${entry#*=}
    [ "${id%%:*}" = "$own" ] || continue
    read -r kills deaths score lateScores <<<"$(countsOf "$name" "$id" "$cut")"
    final=${lateScores##* }
    [ -n "$lateScores" ] || final=$score
    line="   $id ($name's): kills $kills deaths $deaths (score $score) until a second before the end"
    [ -n "$lateScores" ] && { line+=", then scores$lateScores"; late=$((late + 1)); }
    line+="; table score $points"
    if ! awk -v p="$points" '{ for (i = 1; i <= NF; ++i) if ($i == p) found = 1 } END { exit !found }' \
      <<<"$score $lateScores"; then
      line+=" is not its own copy's"
      problems=$((problems + 1))
    fi
    for other in "${copies[@]}"; do
      [ "$other" = "$name" ] && continue
      read -r theirKills theirDeaths _ <<<"$(countsOf "$other" "$id" "$cut")"
      if ! seen "$name" "$other" "$id" || ! seen "$other" "$name" "$id"; then
        line+="; $other counted kills $theirKills deaths $theirDeaths, some never"
        problems=$((problems + 1))
      elif [ "$theirKills $theirDeaths" != "$kills $deaths" ]; then
        line+=" ($other: $theirKills, $theirDeaths, one on its way at the cut)"
      fi
    done
    echo "$line"
  done
done
if [ $problems -eq 0 ]; then
  echo "kills: none lost: every kill and death of a plane left reached every copy, and the table has its own copy's score ($late changed in the last second)"
else
  echo "kills: $problems DIFFERENCES"
fi

echo "-- the match clock"
hostStart=$(grep '^clock started at wall' "$out/host.log" 2>/dev/null | tail -1 | awk '{ print $5 }')
for name in "${copies[@]}"; do
  started=$(grep '^clock started at wall' "$out/$name.log" | tail -1 | awk '{ print $5 }')
  ended=$(endOf "$name")
  [ -n "$started" ] && [ -n "$ended" ] || { echo "   $name: no clock start or end"; continue; }
  awk -v n="$name" -v s="$started" -v e="$ended" -v l="$seconds" -v h="${hostStart:-}" -v sc="$scenario" 'BEGIN {
    printf "   %s: ended %.2f s after its own start (%.2f s more than the match)", n, e - s, e - s - l
    if (sc == "kill-host" && h != "") printf ", %.2f s after the killed host'"'"'s start", e - h
    printf "\n" }'
done
exit 0
