#!/usr/bin/env bash
# Measures the computer pilots' strengths against each other: MATCHES seeded
# matches (default 10) of SECONDS each (default 180) with one easy, one normal
# and one hard pilot, the three strengths taking turns at the three players'
# places (colours and spawn places) so that no place favours one. Prints each
# strength's mean score, its spread and its kills and deaths.
#
#   tools/match/pilot_strengths.sh BUILD_DIR [MATCHES] [SECONDS]
#
# Runs match_sim in the private network namespace on a virtual display.
set -euo pipefail

build=$(realpath "$1")
matches=${2:-10}
seconds=${3:-180}
root=$(cd "$(dirname "$0")/../.." && pwd)
levels=(easy normal hard)
out=$(mktemp)
trap 'rm -f "$out"' EXIT

for ((m = 1; m <= matches; ++m)); do
  order=()
  for ((p = 0; p < 3; ++p)); do order+=("${levels[$(((p + m) % 3))]}"); done
  list=$(IFS=,; echo "${order[*]}")
  table=$("$root/scripts/isolated-net" xvfb-run -a -s "-screen 0 1280x1024x24" \
    "$build/tools/match/match_sim" --players 3 --seconds "$seconds" --seed "$m" --strengths "$list" 2>/dev/null |
    sed -n 's/^score table from endGame: //p' | tail -n 1)
  [ -n "$table" ] || { echo "match $m: no score table" >&2; exit 1; }
  # "origin:number=score" in player order: player n flew order[n-1].
  for entry in $table; do
    number=${entry#*:}; number=${number%%=*}
    echo "${order[$((number - 1))]} ${entry#*=}" >>"$out"
  done
  echo "match $m ($list): $table"
done

echo
printf '%-8s %6s %6s %6s %6s\n' strength mean sd min max
for level in "${levels[@]}"; do
  awk -v level="$level" '$1 == level { n++; s += $2; q += $2 * $2; if (n == 1 || $2 < lo) lo = $2; if (n == 1 || $2 > hi) hi = $2 }
    END { m = s / n; printf "%-8s %6.2f %6.2f %6d %6d\n", level, m, sqrt(q / n - m * m), lo, hi }' "$out"
done
