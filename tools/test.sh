#!/usr/bin/env bash
# Sets up, builds and runs every test. Usage: tools/test.sh [build-dir] [extra cmake args...]
set -euo pipefail
cd "$(dirname "$0")/.."
build=${1:-build}
shift || true
if [ "$(id -u)" = 0 ]; then bash tools/install-deps.sh; fi
cmake -S . -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo "$@"
cmake --build "$build" -j2
ctest --test-dir "$build" --output-on-failure -j2
