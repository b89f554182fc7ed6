#!/usr/bin/env bash
# A show-length soak on the sim: builds the soak driver in a Release tree and runs HOURS of
# simulated show (default 24: 3,456,000 buffers, an unplug every ten simulated minutes) at full
# speed, printing the resident memory every simulated hour and the CPU time it took.
# Usage: bench/soak/show_soak.sh [HOURS] [BUILD_DIR]
set -euo pipefail
cd "$(dirname "$0")/../.."
hours=${1:-24}
build=${2:-build-rel}
if [ ! -f "$build/CMakeCache.txt" ]; then
  flock /tmp/roarmark-build.lock cmake -S . -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=Release \
    -DROARMARK_BUILD_QT=OFF -DROARMARK_BUILD_TESTS=OFF
fi
flock /tmp/roarmark-build.lock cmake --build "$build" -j2 --target roarmark_show_soak
/usr/bin/time -f "wall %e s, cpu %U s user %S s system, max rss %M kB" \
  "$build/bench/soak/roarmark_show_soak" "$hours"
