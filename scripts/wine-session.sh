#!/usr/bin/env bash
# Runs a command in a Wine session of its own: a fresh prefix at $WINEPREFIX
# (default build-win64/wineprefix), Wine's server and services started first
# with all standard streams on /dev/null, and the server ended afterwards.
# Wine's background processes inherit the streams of the first Wine process,
# and whatever reads those (CTest, a pipe, $(...)) would wait for them.
# Run it under Xvfb (DISPLAY set) for GUI programs: Wine's desktop process is
# then up before the first window, and windows are not managed, which spares
# the two seconds X takes to destroy a managed window and draws captions.
# Usage: scripts/wine-session.sh command [arguments...]
set -euo pipefail
cd "$(dirname "$0")/.."

export WINEPREFIX="${WINEPREFIX:-$PWD/build-win64/wineprefix}"
export WINEDEBUG=-all
export WINEDLLOVERRIDES="mscoree,mshtml="  # no Mono or Gecko installer prompts
rm -rf "$WINEPREFIX"
mkdir -p "$WINEPREFIX"

stop_wine() {
  wineserver -k </dev/null >/dev/null 2>&1 || true
  wineserver -w </dev/null >/dev/null 2>&1 || true
}
trap stop_wine EXIT

wineserver -p </dev/null >/dev/null 2>&1
wine wineboot </dev/null >/dev/null 2>&1
wine reg add 'HKCU\Software\Wine\X11 Driver' /v Managed /t REG_SZ /d N /f </dev/null >/dev/null 2>&1

"$@"
