#!/usr/bin/env bash
# A short simulated match, twice with the same seed: it finishes, reports
# every player and the summary, and repeats itself line for line.
#
#   match_sim_test.sh PATH/TO/match_sim REPOSITORY_ROOT
set -uo pipefail
sim=$(realpath "$1")
cd "$2" || exit 1

run() { "$sim" --players 4 --seconds 12 --seed 7 2>&1 | grep -E '^(player|summary) '; }
first=$(run) || { echo "FAIL: the simulator did not run"; exit 1; }
second=$(run)
players=$(grep -c '^player ' <<<"$first")
[ "$players" -eq 4 ] || { echo "FAIL: $players player lines, expected 4"; echo "$first"; exit 1; }
grep -q '^summary frames ' <<<"$first" || { echo "FAIL: no summary line"; echo "$first"; exit 1; }
frames=$(sed -n 's/^summary frames \([0-9]*\).*/\1/p' <<<"$first")
[ "$frames" -ge 700 ] && [ "$frames" -le 730 ] || { echo "FAIL: $frames frames for 12 s at 60 a second"; exit 1; }
if [ "$(grep '^player ' <<<"$first")" != "$(grep '^player ' <<<"$second")" ]; then
  echo "FAIL: the same seed gave other results"
  diff <(grep '^player ' <<<"$first") <(grep '^player ' <<<"$second")
  exit 1
fi
"$sim" --players 0 >/dev/null 2>&1 && { echo "FAIL: --players 0 was accepted"; exit 1; }
echo "$first"
