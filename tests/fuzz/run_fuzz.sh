#!/usr/bin/env bash
# Builds the fuzz targets with clang (ASan + UBSan) in build/fuzz and runs
# each for a bounded time on a copy of its seed corpus: the parameter file,
# the table file and the settings file readers, and the reply stream of a
# transaction. Prints each run's executions and whether it found a crash.
# Usage: tests/fuzz/run_fuzz.sh [SECONDS] [TARGET...]   (default 60 s, all targets)
set -euo pipefail
cd "$(dirname "$0")/../.."

seconds=${1:-60}
shift || true
targets=("$@")
if [ ${#targets[@]} -eq 0 ]; then
  targets=(parameter_file_fuzzer table_file_fuzzer settings_file_fuzzer reply_stream_fuzzer)
fi
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
cmake --build build/fuzz --target "${targets[@]}" -j "${ZRK_JOBS:-2}"

corpus_of() {
  case "$1" in
    parameter_file_fuzzer) echo tests/fuzz/corpus ;;
    table_file_fuzzer) echo tests/fuzz/corpus_table ;;
    settings_file_fuzzer) echo tests/fuzz/corpus_settings ;;
    reply_stream_fuzzer) echo tests/fuzz/corpus_reply ;;
  esac
}

# The longest input worth trying: a few times the largest real file, so the
# fuzzer spends its time on inputs like the ones the readers meet.
max_len_of() {
  case "$1" in
    parameter_file_fuzzer) echo 8192 ;;   # a saved file is about 2 KB
    table_file_fuzzer) echo 8192 ;;       # a table file is about 1.3 KB
    settings_file_fuzzer) echo 4096 ;;    # a settings file is a few hundred bytes
    reply_stream_fuzzer) echo 1024 ;;     # a transaction sees a few dozen bytes
  esac
}

work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
failed=0
for target in "${targets[@]}"; do
  corpus="$work/$target"
  mkdir -p "$corpus"
  cp "$(corpus_of "$target")"/* "$corpus"/
  echo "== fuzz: $target for ${seconds}s"
  # ASan's quarantine (256 MB by default) was most of a run's memory; 64 MB
  # still keeps freed blocks long enough to catch a use after free.
  log="$work/$target.log"
  if ASAN_OPTIONS=detect_leaks=1:abort_on_error=1:quarantine_size_mb=64 \
     UBSAN_OPTIONS=print_stacktrace=1:halt_on_error=1 \
     LSAN_OPTIONS=suppressions=tests/lsan.supp \
     build/fuzz/bin/"$target" "$corpus" -max_total_time="$seconds" -max_len="$(max_len_of "$target")" \
       -timeout=10 -rss_limit_mb=2048 -print_final_stats=1 -artifact_prefix="$work/" >"$log" 2>&1; then
    runs=$(grep -m1 'stat::number_of_executed_units' "$log" | awk '{print $2}')
    rate=$(grep -m1 'stat::average_exec_per_sec' "$log" | awk '{print $2}')
    rss=$(grep -m1 'stat::peak_rss_mb' "$log" | awk '{print $2}')
    echo "   $target: ${runs:-?} executions (${rate:-?}/s, peak ${rss:-?} MB), no crash"
  else
    failed=1
    tail -n 40 "$log"
    for artifact in "$work"/crash-* "$work"/timeout-* "$work"/oom-* "$work"/leak-*; do
      [ -e "$artifact" ] && cp "$artifact" build/fuzz/ && echo "   kept $(basename "$artifact") in build/fuzz/"
    done
    echo "   $target: FAILED"
  fi
done
exit $failed
