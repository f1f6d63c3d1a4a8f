#!/usr/bin/env bash
# Sets up and builds, then opens the program on the bundled example.
# Without a display the program runs for a few seconds under Xvfb as a check.
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/setup.sh build >/dev/null
# A saved view of the block example, cut open through its body.
EXAMPLE=(examples/block/block.ls3d)
if [ -n "${DISPLAY:-}${WAYLAND_DISPLAY:-}" ]; then
  exec build/lithoscan3d "${EXAMPLE[@]}" "$@"
fi
echo "No display: running the program for 10 s under Xvfb."
status=0
LIBGL_ALWAYS_SOFTWARE=1 timeout 10 xvfb-run -a -s "-screen 0 1280x1024x24" build/lithoscan3d "${EXAMPLE[@]}" "$@" || status=$?
if [ "$status" = 124 ]; then echo "The program ran until stopped."; exit 0; fi
exit "$status"
