#!/usr/bin/env bash
# Three copies of a short networked match, one simulator process each, on
# loopback (the suite runs inside the private network namespace): the host is
# killed (SIGKILL) a few seconds into the match. The other two notice, play on
# under the next host and end with the same table, which lists their two
# planes and none of the host's.
#
#   match_sim_host_kill_test.sh PATH/TO/match_sim REPOSITORY_ROOT
set -uo pipefail
sim=$(realpath "$1")
cd "$2" || exit 1
out=$(mktemp -d)
pids=()
trap 'for p in "${pids[@]}"; do kill -KILL "$p" 2>/dev/null; done; rm -rf "$out"' EXIT
port=$((20000 + RANDOM % 20000))
fail() {
  echo "FAIL: $*"
  for copy in host a b; do echo "--- $copy"; grep -v '^Recieved RPC call' "$out/$copy" | tail -25; done
  exit 1
}

common=(--players 1 --seconds 20 --lobby-seconds 60)
"$sim" "${common[@]}" --seed 1 --host $port --copies 3 >"$out/host" 2>&1 &
host=$!
pids+=($host)
seed=2
for copy in a b; do
  "$sim" "${common[@]}" --seed $seed --join 127.0.0.1:$port >"$out/$copy" 2>&1 &
  pids+=($!)
  seed=$((seed + 1))
done
for _ in $(seq 600); do
  grep -q '^clock started' "$out/host" && break
  sleep 0.1
done
grep -q '^clock started' "$out/host" || fail "the match did not start within 60 s"
sleep 5
kill -KILL $host
wait $host 2>/dev/null

status=0
for pid in "${pids[@]:1}"; do
  for _ in $(seq 900); do kill -0 "$pid" 2>/dev/null || break; sleep 0.1; done
  kill -0 "$pid" 2>/dev/null && fail "a copy did not finish within 90 s of the kill"
  wait "$pid" || status=1
done
[ $status -eq 0 ] || fail "a copy exited with an error"
hostOrigin=$(sed -n 's/^copy origin //p' "$out/host")
[ -n "$hostOrigin" ] || fail "the host did not say its origin"
for copy in a b; do
  grep -q "^host $hostOrigin gone at wall" "$out/$copy" || fail "copy $copy did not notice the host gone"
  grep -q '^play resumed on host' "$out/$copy" || fail "play did not resume on copy $copy"
done
tableA=$(grep '^score table from endGame' "$out/a")
tableB=$(grep '^score table from endGame' "$out/b")
[ -n "$tableA" ] && [ "$tableA" = "$tableB" ] || fail "the tables differ: '$tableA' / '$tableB'"
entries=$(wc -w <<<"${tableA#score table from endGame:}")
[ "$entries" -eq 2 ] || fail "$entries planes in the table, expected the two left"
grep -q " $hostOrigin:" <<<"$tableA" && fail "the killed host's plane is in the table"
echo "$tableA"
