#!/usr/bin/env bash
# Builds the Debian package of the desktop program with the distribution's hardening flags
# (dpkg-buildflags: fortify, stack protector, relro, bindnow, PIE) into a build folder of its
# own, configured for /usr and without tests or benchmarks. Prints the package's path last.
# Usage: tools/build-deb.sh [build-dir]   (default build-deb)
set -euo pipefail
cd "$(dirname "$0")/.."
build=$(realpath -m "${1:-build-deb}")
export DEB_BUILD_MAINT_OPTIONS=hardening=+all
flags() { dpkg-buildflags --get "$1"; }
cppflags=$(flags CPPFLAGS)
launcher=()
if command -v ccache >/dev/null 2>&1; then
  launcher=(-DCMAKE_C_COMPILER_LAUNCHER=ccache -DCMAKE_CXX_COMPILER_LAUNCHER=ccache)
fi
cmake -S . -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo -DCMAKE_INSTALL_PREFIX=/usr \
  -DROARMARK_BUILD_TESTS=OFF -DROARMARK_BUILD_BENCH=OFF "${launcher[@]}" \
  -DCMAKE_C_FLAGS="$(flags CFLAGS) $cppflags" -DCMAKE_CXX_FLAGS="$(flags CXXFLAGS) $cppflags" \
  -DCMAKE_EXE_LINKER_FLAGS="$(flags LDFLAGS)" -DCMAKE_SHARED_LINKER_FLAGS="$(flags LDFLAGS)" >&2
cmake --build "$build" -j"${ROARMARK_JOBS:-2}" >&2
rm -f "$build"/roarmark_*.deb
(cd "$build" && cpack -G DEB) >&2
ls "$build"/roarmark_*.deb
