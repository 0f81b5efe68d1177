#!/usr/bin/env bash
# Builds the fuzz targets with clang (AddressSanitizer, UndefinedBehaviorSanitizer,
# libFuzzer) and runs each for a bounded time. Usage: scripts/fuzz.sh [seconds per target]
# A crash stops the run with a non-zero status; its input is left in build-fuzz/crashes/.
set -euo pipefail
cd "$(dirname "$0")/.."
seconds="${1:-60}"

bash scripts/install-deps.sh fuzz
CC=clang CXX=clang++ cmake -S . -B build-fuzz -G Ninja -DTALLMOOR_FUZZ=ON -DTALLMOOR_TESTS=OFF >/dev/null
cmake --build build-fuzz

mkdir -p build-fuzz/crashes
status=0
for target in build-fuzz/fuzz/fuzz_*; do
  name="${target##*/fuzz_}"
  work="build-fuzz/corpus/$name"
  mkdir -p "$work"
  cp -n fuzz/corpus/"$name"/* "$work"/ 2>/dev/null || true
  echo "== fuzz_$name for ${seconds}s"
  if ! "$target" -max_total_time="$seconds" -dict=fuzz/script.dict -max_len=4096 \
       -artifact_prefix=build-fuzz/crashes/"$name"- -print_final_stats=1 "$work" \
       2> "build-fuzz/$name.log"; then
    status=1
    tail -40 "build-fuzz/$name.log"
  fi
  grep -E '^stat::number_of_executed_units|^#[0-9]+.*DONE' "build-fuzz/$name.log" | tail -2 || true
done
exit $status
