#!/usr/bin/env bash
# Installs what the tests need and runs the whole test suite:
#   1. a short bounded run of every fuzz target under the sanitizers,
#   2. the tests built with AddressSanitizer and UndefinedBehaviorSanitizer,
#      and the Windows build (MinGW-w64, x86-64 and i686) with its unit tests
#      under Wine,
#   3. the unit and end-to-end tests of the Release build, last, so that
#      their summary closes the output.
# FUZZ_SECONDS sets the time per fuzz target (default 20).
set -euo pipefail
cd "$(dirname "$0")/.."

bash scripts/install-deps.sh base fuzz


echo "== fuzzing"
bash scripts/fuzz.sh "${FUZZ_SECONDS:-20}"

echo "== tests under AddressSanitizer and UndefinedBehaviorSanitizer"
cmake -S . -B build-sanitize -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo -DTALLMOOR_SANITIZE=ON >/dev/null
cmake --build build-sanitize
ctest --test-dir build-sanitize --output-on-failure --timeout 600 -j2

echo "== Windows build, unit tests under Wine"
bash scripts/test-windows.sh

echo "== tests"
cmake -S . -B build -G Ninja -DCMAKE_BUILD_TYPE=Release >/dev/null
cmake --build build
ctest --test-dir build --output-on-failure --timeout 300 -j2
