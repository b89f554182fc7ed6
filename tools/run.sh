#!/usr/bin/env bash
# Sets up, builds and starts Roarmark, as the desktop user who will use it. Only installing
# missing Debian packages needs root; for that alone it asks through sudo. Builds the program
# and its help documents, not the tests (tools/test.sh builds those).
set -euo pipefail
cd "$(dirname "$0")/.."
need_root() {
  echo "Installing them needs root, and sudo is not there for you. As root, run:" >&2
  echo "    bash $PWD/tools/install-deps.sh program" >&2
  echo "(for example with: su -c 'bash $PWD/tools/install-deps.sh program'), then run" >&2
  echo "tools/run.sh again as yourself." >&2
  exit 1
}
if ! bash tools/install-deps.sh --check program; then
  if [ "$(id -u)" = 0 ]; then
    bash tools/install-deps.sh program
  elif command -v sudo >/dev/null 2>&1; then
    echo "Installing them needs root: asking sudo."
    sudo bash tools/install-deps.sh program || need_root
  else
    need_root
  fi
fi
cmake -S . -B build -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo -DROARMARK_BUILD_TESTS=OFF \
  -DROARMARK_BUILD_BENCH=OFF
cmake --build build -j2 --target roarmark roarmark_help
exec build/src/platform/qt/roarmark "$@"
