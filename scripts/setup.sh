#!/usr/bin/env bash
# Installs every Debian package the build, the program and the tests need
# (only those missing), then configures and builds.
# Usage: scripts/setup.sh [build-dir] [extra cmake args...]
set -euo pipefail
cd "$(dirname "$0")/.."

# What the build and the program need.
PACKAGES=(
  build-essential cmake ninja-build pkg-config git
  qt6-base-dev qt6-base-dev-tools libqt6opengl6-dev libgl-dev
  libglu1-mesa-dev libgl1-mesa-dri libglx-mesa0 mesa-utils libegl-dev libegl-mesa0
  libgl2ps-dev libavformat-dev libavcodec-dev libavutil-dev libswscale-dev
  libfast-float-dev libgtest-dev libgmock-dev
  xvfb xauth x11-utils fonts-dejavu-core
)
# What only the tests, the benchmarks and the fuzzing need (LITHO_TEST_PACKAGES=1).
if [ -n "${LITHO_TEST_PACKAGES:-}" ]; then
  PACKAGES+=(
    clang libclang-rt-14-dev
    python3 python3-numpy python3-pandas python3-vtk9
    poppler-utils dpkg-dev desktop-file-utils shared-mime-info xdotool x11-apps ffmpeg
  )
fi

missing=()
for p in "${PACKAGES[@]}"; do
  if ! dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed"; then
    missing+=("$p")
  fi
done
if ((${#missing[@]})); then
  SUDO=""
  if [ "$(id -u)" != 0 ]; then SUDO="sudo"; fi
  echo "Installing: ${missing[*]}"
  $SUDO env DEBIAN_FRONTEND=noninteractive apt-get update -q
  $SUDO env DEBIAN_FRONTEND=noninteractive apt-get install -y -q --no-install-recommends "${missing[@]}"
fi

BUILD_DIR="${1:-build}"
shift || true
cmake -S . -B "$BUILD_DIR" -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo "$@"
cmake --build "$BUILD_DIR" -j"$(nproc)"
