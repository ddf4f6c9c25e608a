#!/usr/bin/env bash
# A short drawn match, with the renderer's batching on and off: both report
# their frames (times, CPU, draw calls), batching needs no more draw calls,
# and the saved pictures are the same byte for byte.
#
#   match_frames_test.sh PATH/TO/match_sim REPOSITORY_ROOT
set -uo pipefail
sim=$(realpath "$1")
cd "$2" || exit 1
out=$(mktemp -d)
trap 'rm -rf "$out"' EXIT

run() { "$sim" --players 8 --seconds 3 --seed 3 --frames-every 50 --out "$out/$1" "${@:2}" 2>&1 | grep -E '^frames '; }
on=$(run on) || { echo "FAIL: no frames line with batching"; exit 1; }
off=$(run off --no-batching) || { echo "FAIL: no frames line without batching"; exit 1; }
for line in "$on" "$off"; do
  for field in "frame median" "our cpu median" "process cpu median" "draw calls median"; do
    grep -q "$field" <<<"$line" || { echo "FAIL: no '$field' in: $line"; exit 1; }
  done
done
grep -q 'batching on' <<<"$on" && grep -q 'batching off' <<<"$off" || { echo "FAIL: modes not reported"; exit 1; }
mean() { sed -n 's/.*draw calls median [0-9]* p99 [0-9]* max [0-9]* mean \([0-9.]*\).*/\1/p' <<<"$1"; }
awk -v a="$(mean "$on")" -v b="$(mean "$off")" 'BEGIN { exit !(a > 0 && a <= b) }' ||
  { echo "FAIL: draw calls batched $(mean "$on"), alone $(mean "$off")"; exit 1; }
pictures=0
for picture in "$out"/on/*.png; do
  cmp -s "$picture" "$out/off/$(basename "$picture")" || { echo "FAIL: $(basename "$picture") differs"; exit 1; }
  pictures=$((pictures + 1))
done
[ "$pictures" -ge 3 ] || { echo "FAIL: $pictures pictures compared"; exit 1; }
echo "$on"
echo "$off"
echo "$pictures pictures the same"
