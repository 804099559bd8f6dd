#!/usr/bin/env bash
# Installs what is missing, builds Quorvel and starts it. The program keeps its
# key and record files beside its executable (build/app/).
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/deps.sh build
cmake -S . -B build -G Ninja -DCMAKE_BUILD_TYPE=Release -DQUORVEL_TESTS=OFF -DQUORVEL_BENCH=OFF >/dev/null
ninja -C build quorvel
exec build/app/quorvel
