#!/usr/bin/env bash
# Takes the screenshot docs/window.png: tallmoor.exe (x86-64 build) under
# Wine on a virtual display, after a run of a small logon script, with the
# report and the exit countdown in the window. The logon path is a rooted
# path on Wine's Z: drive; the network drive of the script fails, as Wine
# has no network. Needs the packages of `scripts/install-deps.sh windows`.
# Usage: scripts/screenshot-windows.sh [output.png]
set -euo pipefail
cd "$(dirname "$0")/.."
output=$(realpath -m "${1:-docs/window.png}")

[ -f build-win64/CMakeCache.txt ] ||
  cmake -S . -B build-win64 -G Ninja -DCMAKE_BUILD_TYPE=Release -DCMAKE_TOOLCHAIN_FILE=cmake/mingw-x86_64.cmake
cmake --build build-win64 --target tallmoor probe

demo=/tmp/TallMoorDemo
rm -rf "$demo"
mkdir -p "$demo/prog" "$demo/logon"
cp build-win64/src/app/tallmoor.exe "$demo/prog/"
printf 'server = "\\tmp\\TallMoorDemo"\r\nlogonalias = logon\r\n' >"$demo/prog/TallMoor.dat"
printf 'Willkommen!\r\n' >"$demo/logon/willkommen.txt"
printf '127.0.0.1   localhost\r\n' >"$demo/prog/hosts.txt"
printf '%b' '; Beispiel-Logonscript\r\n' \
  'echo "Guten Morgen!"\r\n' \
  'if user != gast\r\n' \
  '  echo "Willkommen am Arbeitsplatz."\r\n' \
  'endif\r\n' \
  'drive x: \\\\fileserver\\daten\r\n' \
  'file_copy "\\tmp\\TallMoorDemo\\logon\\willkommen.txt" "\\tmp\\TallMoorDemo\\prog\\willkommen.txt"\r\n' \
  'cmd_insert "\\tmp\\TallMoorDemo\\prog\\hosts.txt" "10.0.0.5   drucker"\r\n' \
  'write "Gr\xfc\xdfe vom Server."\r\n' >"$demo/logon/Logon.def"

export TALLMOOR_SHOT="$output"
timeout 300 xvfb-run -a -s "-screen 0 1024x768x24" bash scripts/wine-session.sh bash -c '
  set -euo pipefail
  probe() { wine build-win64/tests/probe.exe "$@" </dev/null 2>/dev/null; }
  (cd /tmp/TallMoorDemo && exec wine prog/tallmoor.exe </dev/null >/dev/null 2>&1) &
  probe wait-window 20000
  probe wait-text Memo1 "Warte auf Abbruch 5" 20000 >/dev/null
  rect=$(probe rect)
  import -window root -crop "$rect" +repage "$TALLMOOR_SHOT"
  probe wait-gone 15000
  wait
'
rm -rf "$demo"
echo "screenshot: $output"
