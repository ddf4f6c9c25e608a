#!/usr/bin/env bash
# Frame cost of a seeded 8-plane match drawn by the software renderer at
# 800 x 600, with the renderer's batching on and off, repeated and
# alternated so that a busy machine weighs on both alike. Prints the
# simulator's "frames" line of every run (frame wall time median and p99,
# our CPU per frame, the whole process's CPU, draw calls).
#
#   tools/benchmarks/match_frames.sh [RUNS] [SECONDS] [SEED]
#
# Run from the repository root after a Release build (make release). The
# runs go through the private network namespace and a virtual display.
set -euo pipefail
runs=${1:-3}
seconds=${2:-30}
seed=${3:-1}
sim=build/release/tools/match/match_sim
[[ -x $sim ]] || { echo "no $sim: run make release first" >&2; exit 1; }
for ((run = 1; run <= runs; run++)); do
  for mode in "" --no-batching; do
    echo "run $run ${mode:---batching} load $(cut -d' ' -f1 /proc/loadavg)"
    scripts/isolated-net xvfb-run -a -s "-screen 0 1280x1024x24" \
      "$sim" --players 8 --seconds "$seconds" --seed "$seed" --render $mode | grep -E '^(summary|frames) '
  done
done
