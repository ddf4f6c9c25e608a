#!/usr/bin/env bash
# Two copies of a short networked match, one simulator process each, on
# loopback (the suite runs inside the private network namespace): both end
# with the host's score table and report their bandwidth. Then the session
# options' bad values are refused.
#
#   match_sim_network_test.sh PATH/TO/match_sim REPOSITORY_ROOT
set -uo pipefail
sim=$(realpath "$1")
cd "$2" || exit 1
out=$(mktemp -d)
trap 'kill -KILL $host $joined 2>/dev/null; rm -rf "$out"' EXIT
port=$((20000 + RANDOM % 20000))

"$sim" --players 2 --seconds 4 --seed 1 --host $port --copies 2 --lobby-seconds 40 >"$out/host" 2>&1 &
host=$!
"$sim" --players 1 --seconds 4 --seed 2 --join 127.0.0.1:$port --lobby-seconds 40 >"$out/joined" 2>&1 &
joined=$!
status=0
for pid in $host $joined; do
  for _ in $(seq 600); do kill -0 "$pid" 2>/dev/null || break; sleep 0.1; done
  kill -0 "$pid" 2>/dev/null && { echo "FAIL: a copy did not finish in 60 s"; status=1; }
  wait "$pid" || { echo "FAIL: a copy exited with an error"; status=1; }
done
for copy in host joined; do
  grep -q '^bandwidth match 1 ' "$out/$copy" || { echo "FAIL: no bandwidth line from the $copy"; status=1; }
done
hostTable=$(grep '^score table from endGame' "$out/host")
joinedTable=$(grep '^score table from endGame' "$out/joined")
entries=$(wc -w <<<"${hostTable#score table from endGame:}")
[ "$entries" -eq 3 ] || { echo "FAIL: $entries planes in the host's table, expected 3"; status=1; }
[ -n "$hostTable" ] && [ "$hostTable" = "$joinedTable" ] ||
  { echo "FAIL: the tables differ"; echo "$hostTable"; echo "$joinedTable"; status=1; }
if [ $status -ne 0 ]; then
  echo "--- host"; tail -20 "$out/host"; echo "--- joined"; tail -20 "$out/joined"
  exit 1
fi

for bad in "--matches 0" "--host 0" "--host 70000" "--join nowhere" "--join :5" "--copies 2" \
  "--host 5000 --join 127.0.0.1:5000" "--lobby-seconds -1" "--rejoin-port 5000" \
  "--join 127.0.0.1:5000 --rejoin-port 0"; do
  "$sim" $bad >/dev/null 2>&1 && { echo "FAIL: $bad was accepted"; exit 1; }
done
echo "$hostTable"
