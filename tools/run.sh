#!/usr/bin/env bash
# Sets up, builds and starts Roarmark, as the desktop user who will use it. Only installing
# missing Debian packages needs root; for that alone it asks through sudo.
set -euo pipefail
cd "$(dirname "$0")/.."
if ! bash tools/install-deps.sh --check; then
  if [ "$(id -u)" = 0 ]; then
    bash tools/install-deps.sh
  else
    echo "Installing them needs root: asking sudo."
    sudo bash tools/install-deps.sh
  fi
fi
cmake -S . -B build -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo
cmake --build build -j2
if [ -x build/src/platform/qt/roarmark ]; then
  exec build/src/platform/qt/roarmark "$@"
fi
echo "Roarmark's desktop program is not there yet: everything else was built in ./build."
