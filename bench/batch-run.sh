#!/usr/bin/env bash
# The batch program's reference run: 600 frames of an N = 512 FFT ocean with the
# FFT normal map and an extruded 128x128 grid, baking every 10th frame.
# Prints the program's summary (frames per second and milliseconds per step)
# and the process's wall and CPU time. Usage: bench/batch-run.sh [build folder]
set -euo pipefail
cd "$(dirname "$0")/.."
build=${1:-build}
out=$(mktemp -d)
trap 'rm -rf "$out"' EXIT
TIMEFORMAT='wall %R s, CPU user %U s + system %S s'
{ time "$build/water-batch" bench/batch-state-512.txt --frames 600 --dt 0.0333333 --bake "$out/baked" --every 10 \
    --csv "$out/run.csv" --seed 1 --no-progress; } 2>&1
echo "$(ls "$out/baked" | wc -l) images, $(du -sh "$out/baked" | cut -f1) baked"
