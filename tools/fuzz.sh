#!/usr/bin/env bash
# Builds the libFuzzer targets with clang in build-fuzz/ and runs each one for
# SECONDS (default 30) from its seed corpus: the save files of tests/data/save,
# and the tests' small images for the image decoders. A crashing input is kept
# as build-fuzz/<target>-crash-*.
#   tools/fuzz.sh [SECONDS]
set -euo pipefail
cd "$(dirname "$0")/.."
tools/setup.sh
seconds="${1:-30}"
CC=clang CXX=clang++ cmake -S . -B build-fuzz -G Ninja -DEDITOR_BENCH=OFF >/dev/null
cmake --build build-fuzz --target fuzz_savefile fuzz_image fuzz_image_seeds
work="$(mktemp -d)"
trap 'rm -rf "$work"' EXIT
build-fuzz/fuzz/fuzz_image_seeds "$work/image-seeds"

# target, dictionary, seed folder; new inputs go to a scratch corpus.
run() {
  mkdir -p "$work/$1"
  echo "fuzz: $1 for ${seconds} s"
  if ! "build-fuzz/fuzz/$1" -dict="$2" -max_total_time="$seconds" -timeout=10 -artifact_prefix="build-fuzz/$1-" \
      "$work/$1" "$3" >"$work/$1.log" 2>&1; then
    tail -n 40 "$work/$1.log"
    echo "FAILED: $1 found a fault; its input is kept under build-fuzz/" >&2
    return 1
  fi
  tail -n 1 "$work/$1.log"
}
run fuzz_savefile fuzz/savefile.dict tests/data/save
run fuzz_image fuzz/image.dict "$work/image-seeds"
