#!/usr/bin/env bash
# Builds the parameter file fuzzer with clang (ASan + UBSan) in build/fuzz
# and runs it for a bounded time on a copy of the seed corpus.
# Usage: tests/fuzz/run_fuzz.sh [SECONDS]   (default 60)
set -euo pipefail
cd "$(dirname "$0")/../.."

seconds=${1:-60}
cxx=$(command -v clang++-14 || command -v clang++ || true)
if [ -z "$cxx" ]; then
  echo "== fuzz: no clang found, skipped"
  exit 0
fi

echo "== fuzz: build"
cmake -S . -B build/fuzz -G Ninja -DCMAKE_BUILD_TYPE=Debug -DZRK_BUILD_GUI=OFF -DZRK_BUILD_FUZZ=ON \
  -DCMAKE_CXX_COMPILER="$cxx" \
  -DCMAKE_CXX_FLAGS="-O1 -fsanitize=address,undefined,fuzzer-no-link -fno-sanitize-recover=all -fno-omit-frame-pointer" \
  >/dev/null
cmake --build build/fuzz --target parameter_file_fuzzer -j "${ZRK_JOBS:-2}"

corpus=$(mktemp -d)
trap 'rm -rf "$corpus"' EXIT
cp tests/fuzz/corpus/* "$corpus"/

echo "== fuzz: run ${seconds}s"
ASAN_OPTIONS=detect_leaks=1:abort_on_error=1 \
UBSAN_OPTIONS=print_stacktrace=1:halt_on_error=1 \
LSAN_OPTIONS=suppressions=tests/lsan.supp \
  build/fuzz/bin/parameter_file_fuzzer "$corpus" -max_total_time="$seconds" -max_len=200000 \
  -timeout=10 -rss_limit_mb=2048 -print_final_stats=1
