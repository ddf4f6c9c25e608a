#!/usr/bin/env bash
# Two copies of the game started side by side find each other on the local
# network within three seconds: each logs "Connected to: " for the other. Runs
# inside the suite's private network namespace, under its virtual display.
#
#   discovery_test.sh PATH/TO/skyscuffle
set -uo pipefail

game=$(realpath "$1")
work=$(mktemp -d)
trap 'kill -9 ${first:-} ${second:-} 2>/dev/null; rm -rf "$work"' EXIT
mkdir -p "$work/one/assets" "$work/two/assets"

fail() { echo "FAIL: $*"; for f in one two; do echo "--- $f ---"; cat "$work/$f/log"; done; exit 1; }

(cd "$work/one" && exec "$game" >log 2>&1) &
first=$!
(cd "$work/two" && exec "$game" >log 2>&1) &
second=$!

deadline=$((SECONDS + 10)) # generous start-up under load; the finding itself is timed below
while [ $SECONDS -lt $deadline ]; do
  grep -q "Creating Main Menu" "$work/one/log" && grep -q "Creating Main Menu" "$work/two/log" && break
  sleep 0.1
done
milliseconds() { echo $(($(date +%s%N) / 1000000)); }
started=$(milliseconds)
found=""
while [ $(($(milliseconds) - started)) -lt 3000 ]; do
  if grep -q "Connected to: 127.0.0.1|1652[01]" "$work/one/log" && grep -q "Connected to: 127.0.0.1|1652[01]" "$work/two/log"; then
    found=yes
    break
  fi
  sleep 0.1
done
[ -n "$found" ] || fail "the copies did not find each other within 3 s"

one=$(grep -o "Connected to: 127.0.0.1|1652[01]" "$work/one/log" | head -n 1)
two=$(grep -o "Connected to: 127.0.0.1|1652[01]" "$work/two/log" | head -n 1)
[ "$one" != "$two" ] || fail "both copies report the same peer port: $one"

kill -TERM $first $second
wait $first || fail "the first copy did not exit cleanly"
wait $second || fail "the second copy did not exit cleanly"
echo PASS
