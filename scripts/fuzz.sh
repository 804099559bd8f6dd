#!/usr/bin/env bash
# Builds the fuzz targets with clang (libFuzzer, ASan, UBSan) and runs each, one
# after another, for a while:
#   scripts/fuzz.sh [seconds per target, default 60] [target...]
# FUZZ_FLAGS adds libFuzzer options (for example "-runs=10000000 -jobs=1").
# A target's tests/fuzz/<target>.dict, when present, is its dictionary.
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/deps.sh build
command -v clang++ >/dev/null || { echo "clang++ is needed for fuzzing" >&2; exit 1; }
CC=clang CXX=clang++ cmake -S . -B build-fuzz -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo -DQUORVEL_FUZZ=ON \
  -DQUORVEL_TESTS=ON -DQUORVEL_BENCH=OFF >/dev/null
seconds="${1:-60}"
shift || true
if [ $# -gt 0 ]; then targets="$*"; else targets=$(cd tests/fuzz && ls fuzz_*.cpp | sed 's/\.cpp$//'); fi
ninja -C build-fuzz $targets
export LSAN_OPTIONS="suppressions=$(pwd)/tests/lsan.supp"
for target in $targets; do
  # Absolute: a target may change its working directory.
  corpus="$(pwd)/build-fuzz/corpus/$target"
  mkdir -p "$corpus"
  dict=()
  if [ -f "tests/fuzz/$target.dict" ]; then dict=(-dict="$(pwd)/tests/fuzz/$target.dict"); fi
  # shellcheck disable=SC2086  # FUZZ_FLAGS is a list of options
  "build-fuzz/tests/$target" -max_total_time="$seconds" -max_len=8192 "${dict[@]}" ${FUZZ_FLAGS:-} "$corpus"
done
