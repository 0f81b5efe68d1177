#!/usr/bin/env bash
# Cross-builds TallMoor for Windows and runs, under Wine and Xvfb, the unit
# tests and the end-to-end tests of tallmoor.exe (tests/e2e/run-wine.sh):
# x86-64 always, i686 when 32-bit Wine can be installed (else it is built
# but not run, and the script says so).
set -euo pipefail
cd "$(dirname "$0")/.."

# True when this machine runs 32-bit x86 Linux programs, which 32-bit Wine
# is. Probed with a minimal i386 ELF program that only calls exit(0): some
# sandboxes and kernels refuse them, and there an installed wine32 would
# also break the `wine` command for 64-bit programs.
runs_i386_programs() {
  local probe status
  probe=$(mktemp)
  local elf='\x7fELF\x01\x01\x01\x00\x00\x00\x00\x00\x00\x00\x00\x00'  # 32-bit, little-endian
  elf+='\x02\x00\x03\x00\x01\x00\x00\x00\x54\x80\x04\x08\x34\x00\x00\x00'    # executable, i386, entry
  elf+='\x00\x00\x00\x00\x00\x00\x00\x00\x34\x00\x20\x00\x01\x00\x00\x00'    # one program header
  elf+='\x00\x00\x00\x00\x01\x00\x00\x00\x00\x00\x00\x00\x00\x80\x04\x08'    # load the file ...
  elf+='\x00\x80\x04\x08\x5d\x00\x00\x00\x5d\x00\x00\x00\x05\x00\x00\x00'    # ... 93 bytes, r-x
  elf+='\x00\x10\x00\x00\xb8\x01\x00\x00\x00\x31\xdb\xcd\x80'                  # exit(0)
  printf "$elf" >"$probe"
  chmod +x "$probe"
  status=0
  "$probe" </dev/null >/dev/null 2>&1 || status=1
  rm -f "$probe"
  return "$status"
}

bash scripts/install-deps.sh windows
run32=0
if runs_i386_programs; then
  if bash scripts/install-deps.sh wine32; then
    run32=1
  else
    echo "test-windows: 32-bit Wine cannot be installed; the i686 tests are built but not run" >&2
  fi
else
  echo "test-windows: this machine cannot run 32-bit programs; the i686 tests are built but not run" >&2
fi

bash scripts/build-windows.sh

# Everything under Wine runs in one session (scripts/wine-session.sh: a
# fresh prefix in build-win64/wineprefix, the server started with its
# streams on /dev/null and ended at the end) on a virtual display, which the
# end-to-end tests need; the session ends before xvfb-run stops the display.
# The whole Wine part is bounded in time.
export TALLMOOR_RUN32=$run32
export WINEPREFIX="$PWD/build-win64/wineprefix"
# Also after a timeout: no Wine server of the test prefix outlives the run.
trap 'wineserver -k </dev/null >/dev/null 2>&1 || true' EXIT
timeout 1200 xvfb-run -a -s "-screen 0 1024x768x24" bash scripts/wine-session.sh bash -c '
  set -euo pipefail
  ctest --test-dir build-win64 --output-on-failure --timeout 300
  bash tests/e2e/run-wine.sh build-win64
  if [ "$TALLMOOR_RUN32" -eq 1 ]; then
    ctest --test-dir build-win32 --output-on-failure --timeout 300
    bash tests/e2e/run-wine.sh build-win32
  else
    echo "test-windows: i686 tests skipped (no 32-bit Wine on this machine)"
  fi
'
