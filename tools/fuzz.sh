#!/usr/bin/env bash
# Builds the libFuzzer targets (picture files, INI text) with clang and runs each for a while
# on a freshly generated seed corpus. Fails on any crash, leak, timeout or sanitizer report.
# FUZZ_SECONDS sets the time per target (default 30). Crash inputs are kept in
# build-fuzz/artifacts/.
set -euo pipefail
cd "$(dirname "$0")/.."

seconds="${FUZZ_SECONDS:-30}"
build=build-fuzz
targets=(bmp jpeg ini)

cmake -S . -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo \
  -DCMAKE_C_COMPILER=clang -DCMAKE_CXX_COMPILER=clang++ \
  -DROARMARK_BUILD_FUZZ=ON -DROARMARK_BUILD_QT=OFF -DROARMARK_BUILD_TESTS=OFF \
  -DROARMARK_BUILD_BENCH=OFF
cmake --build "$build" -j2 --target fuzz_seeds "${targets[@]/#/fuzz_}"

work="$(mktemp -d)"
trap 'rm -rf "$work"' EXIT
"$build/fuzz/fuzz_seeds" "$work/seeds"
mkdir -p "$build/artifacts"

for target in "${targets[@]}"; do
  echo "== fuzz_$target for ${seconds} s"
  mkdir -p "$work/corpus-$target"
  "$build/fuzz/fuzz_$target" "$work/corpus-$target" "$work/seeds/$target" \
    -max_total_time="$seconds" -timeout=10 -rss_limit_mb=2560 -max_len=65536 \
    -print_final_stats=1 -artifact_prefix="$build/artifacts/fuzz_$target-"
done
echo "fuzzing passed: ${targets[*]}"
