#!/usr/bin/env bash
# Fails when a C++ file strays from .clang-format; prints what to change.
# Fix with: scripts/check-format.sh --fix
set -euo pipefail
cd "$(dirname "$0")/.."

if git rev-parse --is-inside-work-tree >/dev/null 2>&1; then
  mapfile -t files < <(git ls-files '*.cpp' '*.h')
else
  mapfile -t files < <(find src tests bench -name '*.cpp' -o -name '*.h' | sort)
fi
if [ "${1:-}" = "--fix" ]; then
  clang-format -i "${files[@]}"
  exit 0
fi
clang-format --dry-run --Werror "${files[@]}"
echo "format: ${#files[@]} files as .clang-format says"
