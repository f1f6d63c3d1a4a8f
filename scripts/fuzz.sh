#!/usr/bin/env bash
# Fuzzes the readers with clang's libFuzzer under ASan/UBSan.
#   scripts/fuzz.sh [SECONDS] [TARGET...]   each target for SECONDS (default 60);
#                                           targets: mesh_reader model_reader ... (default all)
#   FUZZ_RUNS=N scripts/fuzz.sh 0 ...      each target for N executions instead
# New inputs go to build-fuzz/corpus/<target>; copy the interesting ones into
# fuzz/corpus/<name>/ to keep them as seeds. Each run's last lines go to
# build-fuzz/<target>.log.
set -euo pipefail
cd "$(dirname "$0")/.."
export LITHO_TEST_PACKAGES=1
SECONDS_EACH="${1:-60}"
shift || true
CC=clang CXX=clang++ scripts/setup.sh build-fuzz -DLITHO_FUZZ=ON -DLITHO_GUI=OFF -DLITHO_TESTS=OFF \
  -DLITHO_BENCH=OFF -DLITHO_SANITIZE=ON -DCMAKE_CXX_FLAGS=-fsanitize=fuzzer-no-link
targets=("$@")
if ((${#targets[@]} == 0)); then
  for exe in build-fuzz/fuzz/*_fuzz; do targets+=("$(basename "$exe" _fuzz)"); done
fi
limit=(-max_total_time="$SECONDS_EACH")
if [ -n "${FUZZ_RUNS:-}" ]; then limit=(-runs="$FUZZ_RUNS"); fi
for name in "${targets[@]}"; do
  exe="build-fuzz/fuzz/${name}_fuzz"
  seeds="fuzz/corpus/${name%_reader}"
  work="build-fuzz/corpus/$name"
  mkdir -p "$work"
  echo "== $name: ${limit[*]}"
  "$exe" "${limit[@]}" -max_len=4096 -print_final_stats=1 "$work" "$seeds" 2>&1 |
    tee "build-fuzz/$name.log" | grep -E '^(#[0-9]+ +(DONE|pulse)|==|SUMMARY|stat::number_of_executed_units)' || true
  grep -q "stat::number_of_executed_units" "build-fuzz/$name.log" || { echo "$name failed; see build-fuzz/$name.log"; exit 1; }
done
