#!/usr/bin/env bash
# Sets up, builds and runs every test. Usage: tools/test.sh [build-dir] [extra cmake args...]
set -euo pipefail
cd "$(dirname "$0")/.."
build=${1:-build}
shift || true
if [ "$(id -u)" = 0 ]; then bash tools/install-deps.sh all; fi
# Tests and benchmarks on, also in a folder that tools/run.sh configured without them.
cmake -S . -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo -DROARMARK_BUILD_TESTS=ON \
  -DROARMARK_BUILD_BENCH=ON "$@"
cmake --build "$build" -j2
ctest --test-dir "$build" --output-on-failure -j2
