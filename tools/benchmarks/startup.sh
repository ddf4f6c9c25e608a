#!/usr/bin/env bash
# Start-up and idle cost of the game: starts the Release build RUNS times on
# a virtual display inside the private network namespace and prints, for
# each run, the time from the launch to the first main-menu frame (and the
# game's own account of where it went), then the CPU the idle main menu
# costs, as a share of one core, over IDLE seconds.
#
#   tools/benchmarks/startup.sh [RUNS] [IDLE]
#
# Run from the repository root after a Release build (make release).
set -euo pipefail
runs=${1:-5}
idle=${2:-5}
game=build/release/game/skyscuffle
[[ -x $game ]] || { echo "no $game: run make release first" >&2; exit 1; }

if [[ "${SKYSCUFFLE_ISOLATED_NET:-}" != 1 ]]; then
  exec scripts/isolated-net "$0" "$@"
fi

# One X server for all runs, started before the clock: its own start-up is
# no part of the game's.
display=:$((90 + RANDOM % 100))
Xvfb "$display" -screen 0 1280x1024x24 -nolisten tcp >/dev/null 2>&1 &
xvfb=$!
log=$(mktemp)
trap 'kill $xvfb 2>/dev/null || true; rm -f "$log"' EXIT
for _ in $(seq 50); do
  DISPLAY=$display xdpyinfo >/dev/null 2>&1 && break
  sleep 0.1
done

ticks=$(getconf CLK_TCK)
cpu_ticks() { awk '{print $14 + $15}' "/proc/$1/stat"; }
firsts=()
shares=()
for ((run = 1; run <= runs; run++)); do
  launched=$(date +%s.%N)
  DISPLAY=$display SKYSCUFFLE_STARTUP_REPORT=1 "$game" >"$log" 2>&1 &
  pid=$!
  line=""
  for _ in $(seq 400); do
    line=$(grep -m1 '^Startup: ' "$log" || true)
    [[ -n $line ]] && break
    sleep 0.05
  done
  if [[ -z $line ]]; then
    echo "run $run: no first frame within 20 s" >&2
    kill "$pid" 2>/dev/null || true
    wait "$pid" 2>/dev/null || true
    exit 1
  fi
  shown=$(sed -E 's/^Startup: first frame at ([0-9.]+);.*/\1/' <<<"$line")
  first=$(awk -v a="$launched" -v b="$shown" 'BEGIN { printf "%.3f", b - a }')
  firsts+=("$first")
  # Settle, then measure the menu doing nothing.
  sleep 2
  before=$(cpu_ticks "$pid")
  sleep "$idle"
  after=$(cpu_ticks "$pid")
  share=$(awk -v t="$((after - before))" -v hz="$ticks" -v s="$idle" 'BEGIN { printf "%.1f", 100 * t / hz / s }')
  shares+=("$share")
  kill -TERM "$pid"
  wait "$pid" 2>/dev/null || true
  echo "run $run: first frame ${first} s after launch (${line#*; }); idle main menu ${share}% of a core" \
       "(load $(cut -d' ' -f1 /proc/loadavg))"
done
median() { printf '%s\n' "$@" | sort -g | awk '{ v[NR] = $1 } END { print (NR % 2) ? v[(NR + 1) / 2] : (v[NR / 2] + v[NR / 2 + 1]) / 2 }'; }
echo "median of $runs: first frame $(median "${firsts[@]}") s, idle main menu $(median "${shares[@]}")% of a core"
