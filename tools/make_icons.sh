#!/usr/bin/env bash
# Renders the program icon (packaging/icons/lithoscan3d.svg) into the PNG sizes the
# desktop and the window use. Run after editing the SVG; the PNGs are committed.
set -euo pipefail
cd "$(dirname "$0")/.."
command -v rsvg-convert >/dev/null || sudo apt-get install -y librsvg2-bin
for s in 16 32 48 64 128 256; do
  rsvg-convert -w "$s" -h "$s" packaging/icons/lithoscan3d.svg -o "packaging/icons/lithoscan3d-$s.png"
done
cp packaging/icons/lithoscan3d-32.png src/app/icons/lithoscan3d.png
cp packaging/icons/lithoscan3d-64.png src/app/icons/lithoscan3d@2x.png
