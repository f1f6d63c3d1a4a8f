#!/usr/bin/env bash
# Fuzzes every reader with clang's libFuzzer for the given number of seconds
# each (default 60). New inputs go to build-fuzz/corpus/<target>; copy the
# interesting ones into fuzz/corpus/<name>/ to keep them as seeds.
set -euo pipefail
cd "$(dirname "$0")/.."
SECONDS_EACH="${1:-60}"
CC=clang CXX=clang++ scripts/setup.sh build-fuzz -DLITHO_FUZZ=ON -DLITHO_TESTS=OFF -DLITHO_BENCH=OFF \
  -DLITHO_SANITIZE=ON -DCMAKE_CXX_FLAGS=-fsanitize=fuzzer-no-link
for exe in build-fuzz/fuzz/*_fuzz; do
  name="$(basename "$exe" _fuzz)"
  seeds="fuzz/corpus/${name%_reader}"
  work="build-fuzz/corpus/$name"
  mkdir -p "$work"
  echo "== $name for ${SECONDS_EACH}s"
  "$exe" -max_total_time="$SECONDS_EACH" -max_len=4096 "$work" "$seeds"
done
