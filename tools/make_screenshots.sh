#!/usr/bin/env bash
# Renders the manual's pictures from the examples with the batch tool, so they
# show what the current program draws. Run after a build; the PNGs are committed.
#   tools/make_screenshots.sh [build-dir]
set -euo pipefail
cd "$(dirname "$0")/.."
BATCH="${1:-build}/lithoscan3d-batch"
OUT=docs/images
EX=examples
mkdir -p "$OUT"
shot() { local name="$1"; shift; "$BATCH" render "$@" --size 800x600 -o "$OUT/$name.png" 2>/dev/null; echo "$OUT/$name.png"; }
shot block-first --view "$EX/block/block.ls3d"
shot block-default "$EX/block/block.msh" "$EX/block/density.den"
shot block-cutoff "$EX/block/block.msh" "$EX/block/density.den" --cutoff 0.1 0.35
shot block-topography "$EX/block/block.msh" "$EX/block/density.den" --topo "$EX/block/topo.txt"
shot block-survey --view "$EX/block/gravity.ls3d"
shot block-stations "$EX/block/block.msh" "$EX/block/density.den" --data "$EX/block/gravity.obs:spheres:6"
shot block-faces-lines "$EX/block/block.msh" "$EX/block/density.den" --cutoff 0.1 0.35 \
  --faces "$EX/block/face_weights.txt"
shot block-faces-surface "$EX/block/block.msh" "$EX/block/density.den" --cutoff 0.1 0.35 \
  --faces "$EX/block/face_weights.txt:surface" --faces-cutoff 0 0.5
shot layered-log "$EX/layered/layered.msh" "$EX/layered/conductivity.con" --log --yes
shot octree "$EX/octree/octree.msh" "$EX/octree/conductivity.con" --octree --log --yes
