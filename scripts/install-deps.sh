#!/usr/bin/env bash
# Installs the Debian packages that the build and the tests need, skipping
# those already present. Usage: scripts/install-deps.sh [group...]
#   base     compiler, CMake, Ninja, GoogleTest (always)
#   fuzz     clang with its sanitizer and libFuzzer runtime
#   bench    Google Benchmark
#   windows  MinGW-w64 cross compilers, GoogleTest sources, Wine, Xvfb, ImageMagick
#   wine32   32-bit Wine for the i686 programs (adds the i386 architecture)
set -euo pipefail

packages=(g++ cmake ninja-build libgtest-dev libgmock-dev)
for group in "$@"; do
  case "$group" in
    base) ;;
    fuzz) packages+=(clang libclang-rt-14-dev) ;;
    bench) packages+=(libbenchmark-dev) ;;
    windows) packages+=(g++-mingw-w64-x86-64-posix g++-mingw-w64-i686-posix googletest wine64 xvfb imagemagick) ;;
    wine32) packages+=(wine32:i386) ;;
    *) echo "unknown group: $group" >&2; exit 2 ;;
  esac
done

missing=()
for p in "${packages[@]}"; do
  dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed" || missing+=("$p")
done
if [ ${#missing[@]} -gt 0 ]; then
  sudo_cmd=""
  [ "$(id -u)" -eq 0 ] || sudo_cmd="sudo"
  if printf '%s\n' "${missing[@]}" | grep -q ':i386$' && ! dpkg --print-foreign-architectures | grep -qx i386; then
    $sudo_cmd dpkg --add-architecture i386
  fi
  $sudo_cmd apt-get update -qq
  DEBIAN_FRONTEND=noninteractive $sudo_cmd apt-get install -y -qq --no-install-recommends --no-remove "${missing[@]}"
fi
