#!/usr/bin/env bash
# Builds everything and runs every test: the debug build first, then the
# same tests under AddressSanitizer and UndefinedBehaviorSanitizer.
set -euo pipefail
cd "$(dirname "$0")/.."

scripts/install-deps.sh
echo "== format"
scripts/check-format.sh
jobs=$(nproc)
for preset in dev asan; do
  echo "== $preset: build"
  cmake --preset "$preset" >/dev/null
  cmake --build --preset "$preset" -j "$jobs"
  echo "== $preset: test"
  ctest --preset "$preset" -j "$jobs"
done
echo "== package: build and check (not installed)"
scripts/package.sh
scripts/check-package.sh
echo "== fuzz: every reader of outside data, 60 s each"
tests/fuzz/run_fuzz.sh 60
