#!/usr/bin/env bash
# Builds the fuzz targets with clang (libFuzzer, ASan, UBSan) and runs each for
# a while: scripts/fuzz.sh [seconds per target, default 60]
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/deps.sh build
command -v clang++ >/dev/null || { echo "clang++ is needed for fuzzing" >&2; exit 1; }
CC=clang CXX=clang++ cmake -S . -B build-fuzz -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo -DQUORVEL_FUZZ=ON \
  -DQUORVEL_TESTS=ON -DQUORVEL_BENCH=OFF >/dev/null
targets=$(cd tests/fuzz && ls fuzz_*.cpp | sed 's/\.cpp$//')
ninja -C build-fuzz $targets
export LSAN_OPTIONS="suppressions=$(pwd)/tests/lsan.supp"
for target in $targets; do
  # Absolute: a target may change its working directory.
  corpus="$(pwd)/build-fuzz/corpus/$target"
  mkdir -p "$corpus"
  "build-fuzz/tests/$target" -max_total_time="${1:-60}" -max_len=8192 "$corpus"
done
