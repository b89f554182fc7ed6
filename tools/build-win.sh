#!/usr/bin/env bash
# Builds the Windows programs (roarmark.exe, roarmark-sim.exe) with mingw-w64 on Debian 12, as
# root on a fresh machine or as anyone once the packages are there. FreeType, libjpeg-turbo and
# libcsv are built for the target from Debian's own source packages and kept in BUILD/deps, so a
# second run only rebuilds the program. Last it makes the zip for a show laptop,
# BUILD/roarmark-VERSION-windows-x64.zip, and checks what it holds.
# Usage: tools/build-win.sh [--deps-only] [build-dir]
set -euo pipefail
cd "$(dirname "$0")/.."
src=$(pwd)
deps_only=0
if [ "${1:-}" = --deps-only ]; then
  deps_only=1
  shift
fi
build=$(realpath -m "${1:-build-win}")
deps=$build/deps
host=x86_64-w64-mingw32
jobs=${ROARMARK_JOBS:-2}

need_packages() {
  # The help documents' tool is built natively, from the program's own packages.
  if ! bash "$src/tools/install-deps.sh" --check program >&2; then
    if [ "$(id -u)" != 0 ]; then
      echo "build-win: run tools/install-deps.sh program as root first" >&2
      exit 1
    fi
    bash "$src/tools/install-deps.sh" program
  fi
  local missing=()
  for p in g++-mingw-w64-x86-64-posix wine64 fonts-wine cmake ninja-build pkgconf dpkg-dev xvfb xdotool \
    googletest imagemagick openbox x11-apps pulseaudio pulseaudio-utils sox zip unzip liblo-tools; do
    dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q 'ok installed' || missing+=("$p")
  done
  if [ ${#missing[@]} -gt 0 ]; then
    if [ "$(id -u)" != 0 ]; then
      echo "build-win: missing packages: ${missing[*]} (run as root to install them)" >&2
      exit 1
    fi
    apt-get update
    DEBIAN_FRONTEND=noninteractive apt-get install -y --no-install-recommends "${missing[@]}"
  fi
}

# Unpacks source package $1 into $deps/src and echoes the folder (the only thing on stdout).
fetch_source() {
  local name=$1
  mkdir -p "$deps/src"
  local dir
  dir=$(find "$deps/src" -maxdepth 1 -type d -name "$name-[0-9]*" | head -n1)
  if [ -z "$dir" ]; then
    bash "$src/tools/debian-sources.sh" >&2
    (cd "$deps/src" && apt-get source --download-only "$name" >&2 &&
      dpkg-source -x --no-check "$(ls ${name}_*.dsc | head -n1)" >&2)
    dir=$(find "$deps/src" -maxdepth 1 -type d -name "$name-[0-9]*" | head -n1)
  fi
  [ -n "$dir" ] || { echo "build-win: no source of $name" >&2; return 1; }
  echo "$dir"
}

toolchain=$src/cmake/mingw-w64-x86_64.cmake

build_freetype() {
  [ -f "$deps/lib/libfreetype.a" ] && return
  local dir
  dir=$(fetch_source freetype)
  # Plain FreeType: no compressed fonts, PNG glyphs or shaping, so the program links alone.
  cmake -S "$dir" -B "$deps/build/freetype" -G Ninja -DCMAKE_TOOLCHAIN_FILE="$toolchain" \
    -DCMAKE_BUILD_TYPE=Release -DCMAKE_INSTALL_PREFIX="$deps" -DBUILD_SHARED_LIBS=OFF \
    -DFT_DISABLE_ZLIB=ON -DFT_DISABLE_BZIP2=ON -DFT_DISABLE_PNG=ON -DFT_DISABLE_HARFBUZZ=ON \
    -DFT_DISABLE_BROTLI=ON
  cmake --build "$deps/build/freetype" -j"$jobs" --target install
}

build_jpeg() {
  [ -f "$deps/lib/libjpeg.a" ] && return
  local dir
  dir=$(fetch_source libjpeg-turbo)
  cmake -S "$dir" -B "$deps/build/jpeg" -G Ninja -DCMAKE_TOOLCHAIN_FILE="$toolchain" \
    -DCMAKE_BUILD_TYPE=Release -DCMAKE_INSTALL_PREFIX="$deps" -DENABLE_SHARED=OFF \
    -DENABLE_STATIC=ON -DWITH_TURBOJPEG=OFF -DWITH_SIMD=OFF -DCMAKE_INSTALL_LIBDIR="$deps/lib"
  cmake --build "$deps/build/jpeg" -j"$jobs" --target install
}

# zlib for libspng; only its static library is built, under the usual name. Its symbols are
# prefixed (z_inflate ..., and its message table, which the prefix leaves out), since FreeType
# carries a zlib of its own whose names would clash.
build_zlib() {
  [ -f "$deps/lib/libz.a" ] && return
  local dir
  dir=$(fetch_source zlib)
  cmake -S "$dir" -B "$deps/build/zlib" -G Ninja -DCMAKE_TOOLCHAIN_FILE="$toolchain" \
    -DCMAKE_BUILD_TYPE=Release -DZ_PREFIX=ON -DCMAKE_C_FLAGS=-Dz_errmsg=z_z_errmsg
  cmake --build "$deps/build/zlib" -j"$jobs" --target zlibstatic
  mkdir -p "$deps/lib" "$deps/include"
  cp "$dir/zlib.h" "$deps/build/zlib/zconf.h" "$deps/include/"
  cp "$deps/build/zlib/libzlibstatic.a" "$deps/lib/libz.a"
}

# libspng for PNG pictures, static; its pkg-config file is written here so that the program finds
# it as on Linux (as "spng", with the define that the static library needs on Windows). Its
# CMakeLists needs the shared target configured for the static one; only the static is built.
build_spng() {
  [ -f "$deps/lib/libspng.a" ] && return
  local dir
  dir=$(fetch_source libspng)
  cmake -S "$dir" -B "$deps/build/spng" -G Ninja -DCMAKE_TOOLCHAIN_FILE="$toolchain" \
    -DROARMARK_WIN_DEPS="$deps" -DCMAKE_BUILD_TYPE=Release -DSPNG_SHARED=ON -DSPNG_STATIC=ON \
    -DBUILD_EXAMPLES=OFF -DENABLE_OPT=OFF
  cmake --build "$deps/build/spng" -j"$jobs" --target spng_static
  mkdir -p "$deps/lib/pkgconfig" "$deps/include"
  cp "$dir/spng/spng.h" "$deps/include/"
  cp "$deps/build/spng/libspng_static.a" "$deps/lib/libspng.a"
  cat >"$deps/lib/pkgconfig/spng.pc" <<PC
prefix=$deps
Name: spng
Description: PNG decoding and encoding (static, built by tools/build-win.sh)
Version: ${dir##*-}
Cflags: -I\${prefix}/include -DSPNG_STATIC
Libs: -L\${prefix}/lib -lspng -lz
PC
}

# libcsv is one C file: built as it is, like Debian's own build does.
build_csv() {
  [ -f "$deps/lib/libcsv.a" ] && return
  local dir
  dir=$(fetch_source libcsv)
  mkdir -p "$deps/build/csv" "$deps/lib" "$deps/include"
  $host-gcc-posix -O2 -c "$dir/libcsv.c" -I"$dir" -o "$deps/build/csv/libcsv.o"
  $host-ar rcs "$deps/lib/libcsv.a" "$deps/build/csv/libcsv.o"
  cp "$dir/csv.h" "$deps/include/"
}

# The remote's HTTP and WebSocket server: no TLS, no scripting, and no file serving at all; IPv6
# as well (a library kept from before IPv6 was asked for is built again).
build_civetweb() {
  [ -f "$deps/lib/libcivetweb.a" ] &&
    grep -q '^CIVETWEB_ENABLE_IPV6:BOOL=ON' "$deps/build/civetweb/CMakeCache.txt" 2>/dev/null && return
  local dir
  dir=$(fetch_source civetweb)
  cmake -S "$dir" -B "$deps/build/civetweb" -G Ninja -DCMAKE_TOOLCHAIN_FILE="$toolchain" \
    -DCMAKE_BUILD_TYPE=Release -DCMAKE_INSTALL_PREFIX="$deps" -DCMAKE_INSTALL_LIBDIR=lib \
    -DBUILD_SHARED_LIBS=OFF -DCIVETWEB_ENABLE_WEBSOCKETS=ON -DCIVETWEB_ENABLE_IPV6=ON \
    -DCIVETWEB_ENABLE_SSL=OFF -DCIVETWEB_ENABLE_CXX=OFF -DCIVETWEB_BUILD_TESTING=OFF \
    -DCIVETWEB_DISABLE_CGI=ON \
    -DCIVETWEB_SERVE_NO_FILES=ON -DCIVETWEB_ENABLE_SERVER_EXECUTABLE=OFF \
    -DCIVETWEB_INSTALL_EXECUTABLE=OFF -DCIVETWEB_ENABLE_ASAN=OFF
  cmake --build "$deps/build/civetweb" -j"$jobs" --target install
}

# OSC for the remote (liblo's source package is not to be had): oscpack's message and Windows UDP
# sources, compiled as they are into a static library; headers under include/oscpack as Debian
# installs them.
build_oscpack() {
  # (The mark tells a library built with both mends below from one built before them.)
  [ -f "$deps/lib/liboscpack.a" ] && [ -f "$deps/build/oscpack/mended" ] && return
  local dir
  dir=$(fetch_source oscpack)
  bash "$src/tools/oscpack-mend.sh" "$dir"
  # Its 64-bit integer is a long on x86-64 unless the compiler is Microsoft's, and mingw-w64's long
  # is 32 bits as Microsoft's is: there it takes the long long of other systems, or its own checks
  # abort the program. Only the first such test is the 64-bit type's.
  sed -i '0,/^#elif defined(__x86_64__) || defined(_M_X64)/s//#elif (defined(__x86_64__) || defined(_M_X64)) \&\& !defined(_WIN32)/' \
    "$dir/osc/OscTypes.h"
  grep -q '^#elif (defined(__x86_64__) || defined(_M_X64)) && !defined(_WIN32)' \
    "$dir/osc/OscTypes.h" || { echo "build-win: oscpack's OscTypes.h is not as expected" >&2; exit 1; }
  mkdir -p "$deps/build/oscpack" "$deps/lib" "$deps/include/oscpack/osc" "$deps/include/oscpack/ip"
  local objects=() file
  for file in osc/OscTypes.cpp osc/OscReceivedElements.cpp osc/OscOutboundPacketStream.cpp \
    ip/IpEndpointName.cpp ip/win32/NetworkingUtils.cpp ip/win32/UdpSocket.cpp; do
    local object="$deps/build/oscpack/$(basename "$file" .cpp).o"
    $host-g++-posix -O2 -c "$dir/$file" -I"$dir" -o "$object"
    objects+=("$object")
  done
  $host-ar rcs "$deps/lib/liboscpack.a" "${objects[@]}"
  cp "$dir"/osc/*.h "$deps/include/oscpack/osc/"
  cp "$dir"/ip/*.h "$deps/include/oscpack/ip/"
  touch "$deps/build/oscpack/mended"
}

# JSON for the remote: header-only, installed from the source package with its CMake package.
build_nlohmann() {
  [ -f "$deps/share/cmake/nlohmann_json/nlohmann_jsonConfig.cmake" ] && return
  local dir
  dir=$(fetch_source nlohmann-json3)
  cmake -S "$dir" -B "$deps/build/nlohmann" -G Ninja -DCMAKE_TOOLCHAIN_FILE="$toolchain" \
    -DCMAKE_INSTALL_PREFIX="$deps" -DJSON_BuildTests=OFF -DJSON_Install=ON
  cmake --build "$deps/build/nlohmann" -j"$jobs" --target install
}

need_packages
build_freetype
build_jpeg
build_csv
build_zlib
build_spng
build_civetweb
build_oscpack
build_nlohmann
if [ $deps_only = 1 ]; then exit 0; fi

# The help documents are made by a Qt tool, so a native build of it makes them for the zip.
help_native=$build/help-native
cmake -S "$src" -B "$help_native" -G Ninja -DCMAKE_BUILD_TYPE=Release -DROARMARK_BUILD_TESTS=OFF \
  -DROARMARK_BUILD_BENCH=OFF >/dev/null
cmake --build "$help_native" -j"$jobs" --target roarmark_help

cmake -S "$src" -B "$build" -G Ninja -DCMAKE_TOOLCHAIN_FILE="$toolchain" \
  -DROARMARK_WIN_DEPS="$deps" -DCMAKE_BUILD_TYPE=Release -DROARMARK_BUILD_BENCH=OFF \
  -DROARMARK_BUILD_QT=OFF -DROARMARK_BUILD_TESTS=ON -DROARMARK_HELP_PDF_DIR="$help_native/help"
cmake --build "$build" -j"$jobs" --target roarmark roarmark-sim
# The backend's unit tests and the end-to-end test's helper, run under wine by CTest.
cmake --build "$build" -j"$jobs" --target roarmark_win32_tests roarmark_power_broadcast

# The zip for the show laptop: roarmark.exe, the help, the licence, notices and a read-me.
rm -f "$build"/roarmark-*-windows-x64.zip
(cd "$build" && cpack -G ZIP >/dev/null)
zip=$(ls "$build"/roarmark-*-windows-x64.zip)
unzip -l "$zip"
top=$(basename "$zip" .zip)
for file in roarmark.exe README.txt LICENSE.txt NOTICES.txt "Help/Roarmark Help English.pdf"; do
  if ! unzip -l "$zip" "$top/$file" >/dev/null; then
    echo "build-win: the zip lacks $file" >&2
    exit 1
  fi
done
echo "Windows zip: $zip"
