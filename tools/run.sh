#!/usr/bin/env bash
# Sets up, builds and starts Roarmark.
set -euo pipefail
cd "$(dirname "$0")/.."
if [ "$(id -u)" = 0 ]; then bash tools/install-deps.sh; fi
cmake -S . -B build -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo
cmake --build build -j2
if [ -x build/src/platform/qt/roarmark ]; then
  exec build/src/platform/qt/roarmark
fi
echo "Roarmark's desktop program is not there yet: everything else was built in ./build."
