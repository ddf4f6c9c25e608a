#!/usr/bin/env bash
# Frame cost of a seeded 8-plane match drawn by the software renderer at
# 800 x 600 (or SIZE), as the game draws it there (no multisampling, the
# scene's resolution scale automatic), with the renderer's batching on and
# off, repeated and alternated so that a busy machine weighs on both alike.
# Prints the simulator's "frames" line of every run (frame wall time median
# and p99, our CPU per frame, the whole process's CPU, draw calls).
#
#   tools/benchmarks/match_frames.sh [RUNS] [SECONDS] [SEED] [SIZE]
#
# MODES="" measures batching on only; EXTRA adds simulator options (say
# EXTRA="--samples 4" for a graphics card's multisampling).
#
# Run from the repository root after a Release build (make release). The
# runs go through the private network namespace and a virtual display.
set -euo pipefail
runs=${1:-3}
seconds=${2:-30}
seed=${3:-1}
size=${4:-800x600}
modes=${MODES-"--no-batching"}
sim=${SIM:-build/release/tools/match/match_sim} # SIM: another build's simulator
[[ -x $sim ]] || { echo "no $sim: run make release first" >&2; exit 1; }
for ((run = 1; run <= runs; run++)); do
  for mode in "" $modes; do
    echo "run $run $size ${mode:---batching} load $(cut -d' ' -f1 /proc/loadavg)"
    # shellcheck disable=SC2086
    scripts/isolated-net xvfb-run -a -s "-screen 0 1920x1080x24" \
      "$sim" --players 8 --seconds "$seconds" --seed "$seed" --size "$size" --render $mode ${EXTRA:-} |
      grep -E '^(summary|frames) '
  done
done
