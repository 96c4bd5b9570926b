#!/usr/bin/env bash
# Starts the window from the build folder, beside the built db.dll (the program looks in its
# current folder); under xvfb-run when there is no display.
set -euo pipefail
build=${1:-build}
exe="$build/app/plumaret"
if [ ! -x "$exe" ]; then
  echo "The window is not built yet. Built so far:"
  find "$build" -maxdepth 2 -type f -executable -not -name '*.so*' -not -path '*/CMakeFiles/*' | sort
  exit 0
fi
cd "$build/app"
if [ -z "${DISPLAY:-}${WAYLAND_DISPLAY:-}" ]; then
  exec xvfb-run -a -s "-screen 0 1280x1024x24" ./plumaret
fi
exec ./plumaret
