#!/usr/bin/env bash
# End-to-end run of the built program: tallmoor is copied beside a temporary
# start file, the logon share and the drives are temporary directories, and
# standard output is captured (not a terminal), so the program writes plain
# lines. Usage: run.sh <tallmoor> <scenario>
set -euo pipefail
program=$1
scenario=$2

work=$(mktemp -d "${TMPDIR:-/tmp}/tallmoor-e2e-XXXXXX")
trap 'rm -rf "$work"' EXIT
mkdir -p "$work/program" "$work/share/srv/logon" "$work/drives/c"
cp "$program" "$work/program/tallmoor"
export TALLMOOR_UNC_ROOT="$work/share"
export TALLMOOR_DRIVES="$work/drives"
user=$(id -un)
out="$work/out.txt"

fail() {
  echo "FAIL ($scenario): $*" >&2
  echo "--- output ---" >&2
  cat "$out" >&2 || true
  exit 1
}

# Runs the program with stdin from /dev/null; fails when it does not end
# by itself within the limit (seconds) or ends with another status than 0.
run() {
  local limit=$1 status=0
  (cd "$work" && timeout "$limit" "$work/program/tallmoor" </dev/null >"$out" 2>"$work/err.txt") || status=$?
  [ "$status" -ne 124 ] || fail "did not end within $limit s"
  [ "$status" -eq 0 ] || fail "exit status $status"
}

expect_line() {
  grep -qxF -- "$1" "$out" || fail "missing line: $1"
}

# The lines after the report: the exit countdown, 9 ticks, then the end.
expect_countdown_at_end() {
  local first=$1
  local expected="$first"
  for n in 7 6 5 4 3 2 1 0 0; do expected+=$'\n'"Warte auf Abbruch $n"; done
  [ "$(tail -n 10 "$out")" = "$expected" ] || fail "the output does not end with the exit countdown"
}

start_file() {
  printf 'server = srv\r\nlogonalias = logon\r\n' >"$work/program/TallMoor.dat"
}

case "$scenario" in
report)
  start_file
  {
    printf '; a comment\r\n'
    printf 'echo "Guten Morgen"\r\n'
    printf 'if user = "%s"\r\n' "$user"
    printf 'echo "Hallo Benutzer"\r\n'
    printf 'endif\r\n'
    printf 'if user = niemand_sonst\r\n'
    printf 'echo "nie"\r\n'
    printf 'endif\r\n'
    printf 'echo "Gr\xfc\xdfe"\r\n'
    printf 'foo\r\n'
    printf 'if filepresence = c:\\da.txt\r\n'
  } >"$work/share/srv/logon/Logon.def"
  touch "$work/drives/c/da.txt"
  run 60
  expect_line "Start"
  expect_line "Startdatei gelesen"
  expect_line "Suche Logonscript auf Server ..."
  expect_line '\\srv\logon\Logon.def'
  expect_line "Warte auf Netzwerk 4"
  expect_line "Pause 0"
  expect_line "Username: $user"
  expect_line 'Ausführen von \\srv\logon\Logon.def'
  expect_line "Guten Morgen"
  expect_line "Hallo Benutzer"
  expect_line "Grüße"
  expect_line "Unbekanntes 1-er Kommando 'foo  <-- Nicht ausgeführt!"
  expect_line "1-mal zu viel 'if'"
  grep -qxF "nie" "$out" && fail "an inactive block ran"
  grep -q $'\r' "$out" && fail "CR in the output"
  expect_countdown_at_end "Pause 8"
  ;;
start_file_missing)
  run 30
  [ "$(head -n 3 "$out")" = $'Start\nFehler LogonDatDatei nicht lesbar\n*' ] || fail "wrong start"
  expect_countdown_at_end "*"
  ;;
empty_script)
  start_file
  : >"$work/share/srv/logon/Logon.def"
  run 60
  expect_line 'Ausführen von \\srv\logon\Logon.def'
  expect_countdown_at_end "Pause 8"
  ;;
script_missing)
  # Polling runs out after 60 ticks; then the exit countdown ends the program.
  start_file
  run 90
  expect_line "Warte auf Netzwerk 0"
  expect_line "Logonscript nicht gefunden!"
  expect_countdown_at_end "Warte auf Netzwerk 8"
  ;;
halt_then_close)
  # "h" once the report is shown stops the countdown; "q" then closes.
  start_file
  printf 'echo "Bericht"\r\n' >"$work/share/srv/logon/Logon.def"
  mkfifo "$work/keys"
  (cd "$work" && exec timeout 60 "$work/program/tallmoor" <"$work/keys" >"$out" 2>"$work/err.txt") &
  pid=$!
  exec 3>"$work/keys"
  wait_for() {
    for _ in $(seq 1 300); do
      grep -qxF -- "$1" "$out" && return 0
      sleep 0.1
    done
    fail "never saw: $1"
  }
  wait_for "Pause 8"
  printf 'h' >&3
  wait_for "Automatisches Beenden abgebrochen!"
  sleep 1
  printf 'q' >&3
  status=0
  wait "$pid" || status=$?
  exec 3>&-
  [ "$status" -eq 0 ] || fail "exit status $status"
  [ "$(tail -n 1 "$out")" = "Automatisches Beenden abgebrochen!" ] || fail "output went on after Halt"
  ;;
*)
  echo "unknown scenario: $scenario" >&2
  exit 2
  ;;
esac
echo "ok ($scenario)"
