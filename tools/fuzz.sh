#!/usr/bin/env bash
# Builds the libFuzzer targets (picture files, INI text) with clang and runs each for a while
# on a freshly generated seed corpus. Fails on any crash, leak, timeout or sanitizer report, and
# prints each target's inputs per second and coverage (libFuzzer's final stats).
# FUZZ_SECONDS sets the time per target (default 30). Crash inputs are kept in
# build-fuzz/artifacts/.
set -euo pipefail
cd "$(dirname "$0")/.."

seconds="${FUZZ_SECONDS:-30}"
build=build-fuzz
targets=(bmp jpeg png ini remote)

# libspng from Debian's source package, compiled into the PNG target with the fuzzer's
# instrumentation (see fuzz/CMakeLists.txt). Unpacked once per build folder; without it the
# stage fails. A fresh machine has no deb-src entry yet: root adds the one tools/build-win.sh
# adds (the JPEG source below is fetched through it too).
spng_source() {
  local dir="$PWD/$build/libspng"
  if [ ! -f "$dir/src/spng/spng.c" ]; then
    rm -rf "$dir"
    mkdir -p "$dir/src"
    if ! (cd "$dir" && apt-get source -qq --download-only libspng) >&2; then
      if [ "$(id -u)" = 0 ]; then
        grep -rqs deb-src /etc/apt/sources.list /etc/apt/sources.list.d/ ||
          printf '%s\n' 'Types: deb-src' 'URIs: http://deb.debian.org/debian' 'Suites: bookworm' \
            'Components: main' 'Signed-By: /usr/share/keyrings/debian-archive-keyring.gpg' \
            >/etc/apt/sources.list.d/roarmark-src.sources
        apt-get update -qq >&2
      fi
      (cd "$dir" && apt-get source -qq --download-only libspng) >&2 ||
        { echo "fuzz: cannot fetch Debian's libspng source package" >&2; return 1; }
    fi
    tar -xf "$(ls "$dir"/libspng_*.orig.tar.* | grep -v '\.asc$' | head -n 1)" -C "$dir/src" \
      --strip-components=1 || return 1
  fi
  echo "$dir/src"
}
spng_src=$(spng_source)

# libjpeg-turbo from Debian's source package, built with the fuzzer's instrumentation so that the
# JPEG fuzzer sees which decoder paths an input reaches (see fuzz/CMakeLists.txt). Built once per
# build folder; without the source package the targets fall back to the system library.
jpeg="$PWD/$build/libjpeg-turbo"
fetch_jpeg_source() {
  (cd "$jpeg" && apt-get source -qq --download-only libjpeg-turbo) >/dev/null 2>&1
}
if [ ! -f "$jpeg/build/libjpeg.a" ]; then
  rm -rf "$jpeg"
  mkdir -p "$jpeg/src"
  if fetch_jpeg_source || { [ "$(id -u)" = 0 ] && apt-get update -qq && fetch_jpeg_source; }; then
    tarball="$(ls "$jpeg"/libjpeg-turbo_*.orig.tar.* | grep -v '\.asc$' | head -n 1)"
    tar -xf "$tarball" -C "$jpeg/src" --strip-components=1
    cmake -S "$jpeg/src" -B "$jpeg/build" -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo \
      -DCMAKE_C_COMPILER=clang -DENABLE_SHARED=OFF -DWITH_SIMD=OFF -DWITH_TURBOJPEG=OFF \
      -DCMAKE_C_FLAGS="-fsanitize=fuzzer-no-link,address -fno-omit-frame-pointer" >/dev/null
    cmake --build "$jpeg/build" -j2 --target jpeg-static
  else
    echo "no libjpeg-turbo source package: the JPEG fuzzer runs on the system libjpeg, blind to it"
  fi
fi
jpeg_args=(-DROARMARK_FUZZ_LIBJPEG_SOURCE= -DROARMARK_FUZZ_LIBJPEG_BUILD=)
if [ -f "$jpeg/build/libjpeg.a" ]; then
  jpeg_args=(-DROARMARK_FUZZ_LIBJPEG_SOURCE="$jpeg/src" -DROARMARK_FUZZ_LIBJPEG_BUILD="$jpeg/build")
fi

cmake -S . -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo \
  -DCMAKE_C_COMPILER=clang -DCMAKE_CXX_COMPILER=clang++ \
  -DROARMARK_BUILD_FUZZ=ON -DROARMARK_BUILD_QT=OFF -DROARMARK_BUILD_TESTS=OFF \
  -DROARMARK_BUILD_BENCH=OFF -DROARMARK_FUZZ_LIBSPNG_SOURCE="$spng_src" "${jpeg_args[@]}"
cmake --build "$build" -j2 --target fuzz_seeds "${targets[@]/#/fuzz_}"

work="$(mktemp -d)"
trap 'rm -rf "$work"' EXIT
"$build/fuzz/fuzz_seeds" "$work/seeds"
cp -r fuzz/remote_seeds "$work/seeds/remote"
mkdir -p "$build/artifacts"

for target in "${targets[@]}"; do
  echo "== fuzz_$target for ${seconds} s"
  mkdir -p "$work/corpus-$target"
  "$build/fuzz/fuzz_$target" "$work/corpus-$target" "$work/seeds/$target" \
    -max_total_time="$seconds" -timeout=10 -rss_limit_mb=2560 -max_len=65536 \
    -print_final_stats=1 -artifact_prefix="$build/artifacts/fuzz_$target-"
done
echo "fuzzing passed: ${targets[*]}"
