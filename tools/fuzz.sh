#!/usr/bin/env bash
# Builds the libFuzzer targets (picture files, INI text, remote commands) with clang and runs
# each for a while on a freshly generated seed corpus. Fails on any crash, leak, timeout or
# sanitizer report, and prints each target's inputs per second and coverage (libFuzzer's final
# stats). FUZZ_SECONDS sets the time per target (default 30). Crash inputs are kept in
# build-fuzz/artifacts/.
# libjpeg-turbo and libspng are built from Debian's source packages with the fuzzer's
# instrumentation, so that the JPEG and PNG targets see into the decoders. Under CI
# (ROARMARK_CI=1) a missing source package fails the run; elsewhere the JPEG targets fall back to
# the system's libjpeg and the PNG target is left out, and the run says so.
set -euo pipefail
cd "$(dirname "$0")/.."

seconds="${FUZZ_SECONDS:-30}"
build=build-fuzz
targets=(bmp jpeg ini remote)

without() {
  if [ "${ROARMARK_CI:-0}" = 1 ]; then
    echo "fuzz: $*; CI needs it" >&2
    exit 1
  fi
  echo "fuzz: $*; carrying on without it (CI would fail here)" >&2
}

# Unpacks Debian's source package $1 into folder $2/src (once); fails when it cannot be fetched.
unpack_source() {
  local name=$1 dir=$2
  [ -f "$dir/src/.unpacked" ] && return 0
  rm -rf "$dir"
  mkdir -p "$dir/src"
  (cd "$dir" && apt-get source -qq --download-only "$name") >&2 || return 1
  tar -xf "$(ls "$dir/${name}"_*.orig.tar.* | grep -v '\.asc$' | head -n 1)" -C "$dir/src" \
    --strip-components=1 || return 1
  touch "$dir/src/.unpacked"
}

have_sources=1
bash tools/debian-sources.sh || have_sources=0

# libspng, compiled into the PNG target (see fuzz/CMakeLists.txt).
spng="$PWD/$build/libspng"
spng_args=(-DROARMARK_FUZZ_LIBSPNG_SOURCE=)
if [ $have_sources = 1 ] && unpack_source libspng "$spng"; then
  spng_args=(-DROARMARK_FUZZ_LIBSPNG_SOURCE="$spng/src")
  targets+=(png)
else
  without "no libspng source package: no PNG target"
fi

# oscpack, whose message decoding the Windows program's OSC listener uses (liblo's on Linux):
# compiled into a second remote target, fuzz_remote_oscpack (see fuzz/CMakeLists.txt).
oscpack="$PWD/$build/oscpack"
oscpack_args=(-DROARMARK_FUZZ_OSCPACK_SOURCE=)
if [ $have_sources = 1 ] && unpack_source oscpack "$oscpack"; then
  bash tools/oscpack-mend.sh "$oscpack/src"
  oscpack_args=(-DROARMARK_FUZZ_OSCPACK_SOURCE="$oscpack/src")
  targets+=(remote_oscpack)
else
  without "no oscpack source package: the Windows program's OSC decoding is not fuzzed"
fi

# libjpeg-turbo, a static library built with the fuzzer's instrumentation.
jpeg="$PWD/$build/libjpeg-turbo"
jpeg_args=(-DROARMARK_FUZZ_LIBJPEG_SOURCE= -DROARMARK_FUZZ_LIBJPEG_BUILD=)
if [ ! -f "$jpeg/build/libjpeg.a" ] && [ $have_sources = 1 ] &&
  unpack_source libjpeg-turbo "$jpeg"; then
  cmake -S "$jpeg/src" -B "$jpeg/build" -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo \
    -DCMAKE_C_COMPILER=clang -DENABLE_SHARED=OFF -DWITH_SIMD=OFF -DWITH_TURBOJPEG=OFF \
    -DCMAKE_C_FLAGS="-fsanitize=fuzzer-no-link,address -fno-omit-frame-pointer" >/dev/null
  cmake --build "$jpeg/build" -j2 --target jpeg-static
fi
if [ -f "$jpeg/build/libjpeg.a" ]; then
  jpeg_args=(-DROARMARK_FUZZ_LIBJPEG_SOURCE="$jpeg/src" -DROARMARK_FUZZ_LIBJPEG_BUILD="$jpeg/build")
else
  without "no libjpeg-turbo source package: the JPEG targets run on the system libjpeg, blind to it"
fi

cmake -S . -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo \
  -DCMAKE_C_COMPILER=clang -DCMAKE_CXX_COMPILER=clang++ \
  -DROARMARK_BUILD_FUZZ=ON -DROARMARK_BUILD_QT=OFF -DROARMARK_BUILD_TESTS=OFF \
  -DROARMARK_BUILD_BENCH=OFF "${spng_args[@]}" "${oscpack_args[@]}" "${jpeg_args[@]}"
cmake --build "$build" -j2 --target fuzz_seeds "${targets[@]/#/fuzz_}"

work="$(mktemp -d)"
trap 'rm -rf "$work"' EXIT
"$build/fuzz/fuzz_seeds" "$work/seeds"
cp -r fuzz/remote_seeds "$work/seeds/remote"
cp -r fuzz/remote_seeds "$work/seeds/remote_oscpack"
mkdir -p "$build/artifacts"

for target in "${targets[@]}"; do
  echo "== fuzz_$target for ${seconds} s"
  mkdir -p "$work/corpus-$target"
  "$build/fuzz/fuzz_$target" "$work/corpus-$target" "$work/seeds/$target" \
    -max_total_time="$seconds" -timeout=10 -rss_limit_mb=2560 -max_len=65536 \
    -print_final_stats=1 -artifact_prefix="$build/artifacts/fuzz_$target-"
done
echo "fuzzing passed: ${targets[*]}"
