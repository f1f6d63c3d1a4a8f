#!/usr/bin/env bash
# Sets up and builds, then runs the whole test suite (GUI and GL tests under Xvfb).
#   scripts/test.sh              normal build in build/
#   scripts/test.sh --sanitize   AddressSanitizer + UndefinedBehaviorSanitizer build in build-asan/
#   extra arguments go to ctest, e.g. scripts/test.sh -L core
set -euo pipefail
cd "$(dirname "$0")/.."
export LITHO_TEST_PACKAGES=1
BUILD=build
CMAKE_ARGS=()
if [ "${1:-}" = "--sanitize" ]; then
  shift
  BUILD=build-asan
  CMAKE_ARGS=(-DLITHO_SANITIZE=ON -DLITHO_BENCH=OFF)
  # Qt and Mesa keep allocations for the life of the process.
  export ASAN_OPTIONS="detect_leaks=0:abort_on_error=1"
  export UBSAN_OPTIONS="print_stacktrace=1:halt_on_error=1"
fi
scripts/setup.sh "$BUILD" "${CMAKE_ARGS[@]}"
export LIBGL_ALWAYS_SOFTWARE=1 QT_QPA_PLATFORM=xcb
cd "$BUILD"
xvfb-run -a -s "-screen 0 1280x1024x24" ctest --output-on-failure -j"$(nproc)" "$@"
