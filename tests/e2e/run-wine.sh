#!/usr/bin/env bash
# End-to-end tests of tallmoor.exe under Wine: each scenario makes a
# temporary program directory with tallmoor.exe and TallMoor.dat, whose logon
# path is a rooted path on Wine's Z: drive (a server value that starts with a
# backslash is kept as it is: "\tmp\...\logon"), starts the program and
# drives the running window from probe.exe: the report in Memo1, Label5,
# the fields, "Halt", close requests, an activation moved to another program
# and back, the end of the program and the log file of a self-update.
# Needs a Wine session with a display (scripts/wine-session.sh under
# xvfb-run). Usage: run-wine.sh <build directory> [scenario...]
set -euo pipefail
build=$(cd "$1" && pwd)
shift
scenarios=("$@")
[ ${#scenarios[@]} -gt 0 ] || scenarios=(report start_file_missing halt_close_activation selfupdate)

program_exe=$build/src/app/tallmoor.exe
probe_exe=$build/tests/probe.exe
export LC_ALL=C  # the texts are Windows-1252 bytes

probe() { wine "$probe_exe" "$@" </dev/null 2>/dev/null; }

fail() {
  echo "FAIL ($scenario): $*" >&2
  echo "--- Memo1 ---" >&2
  probe text Memo1 | tr '\r' ' ' >&2 || true
  [ -z "${program_pid:-}" ] || kill "$program_pid" 2>/dev/null || true
  exit 1
}

# A scenario's directory: prog/ with the program, logon/ as the logon path.
prepare() {
  work=$(mktemp -d /tmp/tallmoor-wine-XXXXXX)
  mkdir -p "$work/prog" "$work/logon"
  cp "$program_exe" "$work/prog/tallmoor.exe"
  logon_path=$(printf '%s\\logon' "${work//\//\\}")
}

start_file() {
  printf 'server = "%s"\r\nlogonalias = logon\r\n' "${work//\//\\}" >"$work/prog/TallMoor.dat"
}

start_program() {
  (cd "$work" && exec wine "$work/prog/tallmoor.exe" </dev/null >/dev/null 2>&1) &
  program_pid=$!
  probe wait-window 20000 || fail "no window"
}

# The window closes and the program ends by itself, with exit code 0.
expect_end() {
  probe wait-gone "$1" || fail "the window did not go away within $1 ms"
  local status=0
  wait "$program_pid" || status=$?
  [ "$status" -eq 0 ] || fail "exit code $status"
}

# A control's whole text, trailing line breaks included.
text_of() {
  local text
  text=$(probe text "$1"; echo .)
  printf '%s' "${text%.}"
}

expect_text() {  # control, text it must hold somewhere
  [[ "$(text_of "$1"; echo .)" == *"$2"* ]] || fail "$1 does not show: $2"
}

expect_no_text() {
  [[ "$(text_of "$1"; echo .)" != *"$2"* ]] || fail "$1 shows: $2"
}

expect_equal() {  # control, whole text
  local shown
  shown=$(probe text "$1") || fail "$1 cannot be read"
  [ "$shown" = "$2" ] || fail "$1 is \"$shown\", not \"$2\""
}

write_script() {
  printf '%b' "$1" >"$work/logon/Logon.def"
}

run_scenario() {
  case "$scenario" in
  report)
    start_file
    write_script 'echo "Guten Morgen"\r\nwrite "Gr\xfc\xdfe aus dem Netz"\r\n'
    start_program
    probe wait-text Memo1 "Warte auf Abbruch" 20000 >/dev/null || fail "no report"
    expect_equal Form1 " Solvanto TallMoor v2.15"
    expect_equal Edit1 "${work//\//\\}"
    expect_equal Edit2 "$(id -un)"
    expect_equal Edit3 "Z:${work//\//\\}\\prog"
    expect_equal Edit4 "$logon_path"
    expect_equal Label5 "Scriptdatei gefunden."
    expect_text Memo1 $'Ausf\xfchren von '"$logon_path"$'\\Logon.def\r\nGuten Morgen\r\nGr\xfc\xdfe aus dem Netz\r\nWarte auf Abbruch '
    [ "$(probe visible Button1)" = 1 ] || fail "Halt is not shown"
    expect_end 15000
    ;;
  start_file_missing)
    start_program
    probe wait-text Memo1 "Warte auf Abbruch" 10000 >/dev/null || fail "no countdown"
    expect_text Memo1 $'Start\r\nFehler LogonDatDatei nicht lesbar\r\n'
    expect_equal Edit1 ""
    [ "$(probe visible Button1)" = 0 ] || fail "Halt is shown"
    expect_end 15000
    ;;
  halt_close_activation)
    start_file
    write_script 'echo "Guten Morgen"\r\n'
    start_program
    probe wait-text Memo1 "Pause" 10000 >/dev/null || fail "no pause"
    # Closing is refused while the script is pending.
    probe close || fail "no close request"
    probe wait-text Memo1 "Warte auf Abbruch" 10000 >/dev/null || fail "no report after a refused close"
    probe click Button1 || fail "Halt cannot be pressed"
    probe wait-text Memo1 "Automatisches Beenden abgebrochen!" 5000 >/dev/null || fail "Halt did nothing"
    [ "$(probe visible Button1)" = 0 ] || fail "Halt is still shown"
    # Another program takes the activation and gives it back: the form stays
    # the application's active form, and nothing runs again. With the timer
    # stopped by "Halt" the memo stays exactly as it was, beyond the end of
    # the exit countdown that "Halt" stopped.
    local halted
    halted=$(text_of Memo1; echo .)
    probe switch-away >/dev/null || fail "the activation could not be moved away and back"
    expect_no_text Memo1 "Startdatei gelesen"
    sleep 5
    probe wait-window 0 || fail "the window closed after Halt"
    [ "$(text_of Memo1; echo .)" = "$halted" ] || fail "Memo1 changed after Halt and a switch of programs"
    probe close || fail "no close request"
    expect_end 5000
    ;;
  selfupdate)
    start_file
    printf 'eine neuere Version\r\n' >"$work/logon/tallmoor.exe"
    printf '@echo %%1> "%s\\handed-over.txt"\r\n' "${work//\//\\}" >"$work/logon/update.bat"
    write_script 'echo "vor dem Update"\r\nselfupdate update.bat\r\necho "nie"\r\n'
    start_program
    probe wait-text Memo1 "Warte auf Abbruch" 20000 >"$work/memo.txt" || fail "no report"
    [ -f "$work/prog/Tallmoor.log" ] || fail "no log file"
    local log_size
    log_size=$(stat -c %s "$work/prog/Tallmoor.log")
    cmp -s -n "$log_size" "$work/prog/Tallmoor.log" "$work/memo.txt" || fail "the log file is not the report"
    tail -c 10 "$work/prog/Tallmoor.log" | cmp -s - <(printf 'Shutdown\r\n') || fail "the log file does not end with Shutdown"
    [[ "$(cat "$work/prog/Tallmoor.log"; echo .)" == *$'vor dem Update\r\nselfupdate update.bat '* ]] ||
      fail "the log file misses the report"
    expect_text Memo1 $'Shutdown\r\nScriptabbruch!\r\n'
    expect_no_text Memo1 "nie"
    for _ in $(seq 100); do [ -s "$work/handed-over.txt" ] && break; sleep 0.1; done
    grep -qF "prog" "$work/handed-over.txt" 2>/dev/null || fail "the updater did not get the program directory"
    expect_end 15000
    ;;
  *)
    echo "unknown scenario: $scenario" >&2
    exit 2
    ;;
  esac
}

for scenario in "${scenarios[@]}"; do
  program_pid=
  prepare
  run_scenario
  rm -rf "$work"
  echo "e2e wine $scenario: ok"
done
