#!/usr/bin/env bash
# Network-fault runs: copies of a networked match, one match simulator per
# copy, side by side on loopback inside the private network namespace
# (scripts/netfault enters it and gives them a virtual display).
#
#   netfault.sh SCENARIO MATCH_SIM [--lossy] [--seconds S] [--players P] [--out DIR]
#
# Scenarios:
#   match2, match3  two or three copies play a whole match
#   kill            three copies; one joined copy is killed (SIGKILL) mid-match
#   kill-host       three copies; the host is killed mid-match
#   rejoin          the host plays two matches; a joined copy plays the first,
#                   exits, and a new one joins for the second
# --lossy puts every link between a joined copy and the host through a relay
# that drops 10% of the datagrams and delays the rest by 50 +/- 20 ms, each
# way (tools/netfault/lossy_relay.py; this kernel has no netem).
#
# Each copy's console goes to DIR/NAME.log (default: a new directory under
# /tmp); the summary compares their score tables and lists bandwidth, stuck
# planes and departures.
set -uo pipefail
here=$(cd "$(dirname "$0")" && pwd)
root=$(cd "$here/../.." && pwd)

if [ "${SKYSCUFFLE_ISOLATED_NET:-}" != 1 ] || [ "$(ip -o link | wc -l)" -ne 1 ]; then
  echo "netfault.sh: only inside the private network namespace (scripts/netfault)" >&2
  exit 2
fi
[ $# -ge 2 ] || { sed -n 2,20p "$0" >&2; exit 2; }
scenario=$1
sim=$(realpath "$2")
shift 2
lossy=0 seconds=180 players=3 out=""
while [ $# -gt 0 ]; do
  case $1 in
    --lossy) lossy=1 ;;
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
limit=$((seconds * 4 + 200)) # every process here is gone by then, even on a busy machine
pids=()

cleanup() {
  for pid in "${pids[@]}"; do kill -KILL "$pid" 2>/dev/null; done
}
trap cleanup EXIT

wall() { date +%s.%N; }

# start NAME ARGS...: one copy in the background, its console in NAME.log.
start() {
  local name=$1; shift
  "$sim" "$@" >"$out/$name.log" 2>&1 &
  eval "pid_$name=$!"
  pids+=("$!")
}

joinPort=$hostPort
if [ "$lossy" = 1 ]; then
  python3 "$here/lossy_relay.py" "$relayPort" "$hostPort" --loss 0.1 --delay 50 --jitter 20 \
    --seconds "$limit" 2>"$out/relay.log" &
  relayPid=$!
  pids+=("$relayPid")
  joinPort=$relayPort
fi

common=(--players "$players" --seconds "$seconds" --lobby-seconds 90)

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
  match2 | match3)
    n=${scenario#match}
    start host --host $hostPort --copies "$n" --seed 1 "${common[@]}"
    copies=(host)
    for ((i = 1; i < n; i++)); do
      start "joined$i" --join 127.0.0.1:$joinPort --seed $((i + 1)) "${common[@]}"
      copies+=("joined$i")
    done
    waitAll "$limit"
    ;;
  kill | kill-host)
    start host --host $hostPort --copies 3 --seed 1 "${common[@]}"
    start joined1 --join 127.0.0.1:$joinPort --seed 2 "${common[@]}"
    start joined2 --join 127.0.0.1:$joinPort --seed 3 "${common[@]}"
    victim=joined2 copies=(host joined1)
    if [ "$scenario" = kill-host ]; then victim=host copies=(joined1 joined2); fi
    waitFor "$victim" '^match start' 120 || echo "the match did not start"
    sleep $((seconds / 3))
    killedAt=$(wall)
    kill -KILL "$(eval echo "\$pid_$victim")"
    echo "killed $victim (SIGKILL) at wall $killedAt"
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

echo "== $scenario, $( [ "$lossy" = 1 ] && echo "lossy link (10% loss, 50 +/- 20 ms)" || echo "quiet link"), logs in $out"
[ "$lossy" = 1 ] && cat "$out/relay.log"
tables=()
for name in "${copies[@]}"; do
  log=$out/$name.log
  echo "-- $name (exit $(eval echo "\${status_$name:-?}"))"
  grep -E '^(match [0-9]+$|score table|bandwidth|planes longest|noticed|Copy [0-9a-f]{8} |lobby: |summary|soak:)' "$log" |
    sed 's/^/   /'
  grep -E 'ERROR|runtime error|LeakSanitizer' "$log" | head -5 | sed 's/^/   !! /'
  mapfile -t own < <(grep '^score table' "$log")
  tables+=("${own[@]}")
done
if [ "$scenario" = rejoin ]; then
  # The second match: the host's last table against the new copy's.
  tables=("$(grep '^score table' "$out/host.log" | tail -1)" "$(grep '^score table' "$out/again.log" | tail -1)")
  expected=2
else
  expected=${#copies[@]}
fi
if [ "$scenario" = kill-host ]; then
  echo "score tables: each joined copy ends on its own clock with what it still had (its own planes)"
elif [ ${#tables[@]} -eq "$expected" ] && [ -n "${tables[0]}" ] &&
  [ "$(printf '%s\n' "${tables[@]}" | sort -u | wc -l)" -eq 1 ]; then
  echo "score tables: identical on every copy"
else
  echo "score tables: DIFFER or missing"
fi
[ -n "${killedAt:-}" ] && echo "killed at wall $killedAt"
exit 0
