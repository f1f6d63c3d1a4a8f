#!/usr/bin/env bash
# Renders every image test and makes the renders the new baselines in
# tests/baselines/. Look at the changed images (git diff --stat) before committing.
set -euo pipefail
cd "$(dirname "$0")/.."
cmake --build build --target litho_gui_tests
LITHO_UPDATE_BASELINES=1 LIBGL_ALWAYS_SOFTWARE=1 xvfb-run -a -s "-screen 0 1280x1024x24" \
  build/tests/litho_gui_tests --gtest_filter='*RenderTest*'
