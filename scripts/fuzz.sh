#!/usr/bin/env bash
# Runs every fuzz target for SECONDS each (default 60); see tests/fuzz/run_fuzz.sh.
# Usage: scripts/fuzz.sh [SECONDS] [TARGET...]
set -euo pipefail
cd "$(dirname "$0")/.."
exec tests/fuzz/run_fuzz.sh "$@"
