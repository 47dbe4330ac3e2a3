#!/usr/bin/env bash
# Builds the fuzz targets with clang and runs each for the given number of
# seconds (default 600), starting from the seed files in tests/corpus. Inputs
# the fuzzer finds go to build-fuzz/corpus, never into the source tree. Exits
# non-zero when a target finds a crash; the crashing input is left in
# build-fuzz/ (crash-*) to be turned into a regression test.
set -euo pipefail
cd "$(dirname "$0")/.."
seconds=${1:-600}
cmake -S fuzz -B build-fuzz -G Ninja -DCMAKE_CXX_COMPILER=clang++ >/dev/null
cmake --build build-fuzz
for pair in shape_file:shape figure_list:list game_file:game; do
  target=${pair%%:*}
  corpus=${pair##*:}
  mkdir -p "build-fuzz/corpus/$corpus"
  echo "fuzz_$target: $seconds s"
  (cd build-fuzz && "./fuzz_$target" -max_total_time="$seconds" -print_final_stats=1 \
      "corpus/$corpus" "../tests/corpus/$corpus" 2>&1 | grep -E 'stat::number_of_executed_units|ERROR|SUMMARY' ) || true
  if ls build-fuzz/crash-* build-fuzz/leak-* build-fuzz/timeout-* >/dev/null 2>&1; then
    echo "fuzz_$target found a failing input: $(ls build-fuzz/crash-* build-fuzz/leak-* build-fuzz/timeout-* 2>/dev/null)" >&2
    exit 1
  fi
done
