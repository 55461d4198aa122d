#!/usr/bin/env bash
# Builds the tool and starts it against the built-in simulated unit.
# Extra arguments go to zrk (e.g. --simulate=rotating-lantern).
set -euo pipefail
cd "$(dirname "$0")/.."

scripts/install-deps.sh
cmake --preset release >/dev/null
cmake --build --preset release --target zrk zrkctl

if [ -z "${DISPLAY:-}" ] && [ -z "${WAYLAND_DISPLAY:-}" ] && [ -z "${QT_QPA_PLATFORM:-}" ]; then
  echo "The tool is built, but there is no graphical display here (DISPLAY is not set)." >&2
  echo "Start it from a desktop session, or under a virtual display:" >&2
  echo "  xvfb-run -a build/release/bin/zrk --simulate" >&2
  echo "Without a window, zrkctl does the same work from the command line:" >&2
  echo "  build/release/bin/zrkctl --simulate command day" >&2
  exit 2
fi
if [ $# -eq 0 ]; then set -- --simulate; fi
exec build/release/bin/zrk "$@"
