#!/usr/bin/env bash
# Cross-builds TallMoor for Windows with MinGW-w64: x86-64 into build-win64/
# and i686 into build-win32/ (library, programs and unit tests, statically
# linked). Needs the packages of `scripts/install-deps.sh windows`.
# Usage: scripts/build-windows.sh [extra CMake arguments...]
set -euo pipefail
cd "$(dirname "$0")/.."

for target in win64:mingw-x86_64 win32:mingw-i686; do
  directory=build-${target%%:*}
  toolchain=cmake/${target#*:}.cmake
  # The toolchain is fixed when a build directory is first configured.
  toolchain_argument=()
  [ -f "$directory/CMakeCache.txt" ] || toolchain_argument=(-DCMAKE_TOOLCHAIN_FILE="$toolchain")
  cmake -S . -B "$directory" -G Ninja -DCMAKE_BUILD_TYPE=Release "${toolchain_argument[@]}" "$@"
  cmake --build "$directory"
done
