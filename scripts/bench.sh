#!/usr/bin/env bash
# Builds the benchmarks (bench/, -DTALLMOOR_BENCH=ON, in build-bench) and runs
# all of them: every figure is a ratio against a standard tool measured in the
# same run, printed beside its goal, with a summary at the end. Takes a few
# minutes. Missed goals do not fail the run; a benchmark that cannot run does.
#   TALLMOOR_BENCH_DIR   scratch directory (default build-bench/scratch); it
#                        needs about 1 GiB free
#   TALLMOOR_BENCH_RUNS  timed runs per figure, the best counts (default 9)
set -euo pipefail
cd "$(dirname "$0")/.."

bash scripts/install-deps.sh base bench
cmake -S . -B build-bench -G Ninja -DCMAKE_BUILD_TYPE=Release -DTALLMOOR_BENCH=ON -DTALLMOOR_TESTS=OFF >/dev/null
# The build log keeps glibc's notes on static linking (getpwuid).
if ! cmake --build build-bench >build-bench/build.log 2>&1; then
  cat build-bench/build.log
  exit 1
fi

export TALLMOOR_BENCH_DIR="${TALLMOOR_BENCH_DIR:-$PWD/build-bench/scratch}"
mkdir -p "$TALLMOOR_BENCH_DIR"
free_mib=$(df -Pm "$TALLMOOR_BENCH_DIR" | awk 'NR == 2 {print $4}')
if [ "$free_mib" -lt 1024 ]; then
  echo "bench: only $free_mib MiB free in $TALLMOOR_BENCH_DIR, 1024 needed" >&2
  exit 1
fi

echo "== machine"
echo "nproc:  $(nproc)"
echo "cpu:    $(grep -m1 'model name' /proc/cpuinfo | cut -d: -f2- | sed 's/^ *//')"
echo "memory: $(awk '/MemTotal/ {printf "%.1f GiB", $2 / 1048576}' /proc/meminfo)"
echo "kernel: $(uname -r); file system of the scratch directory: $(stat -f -c %T "$TALLMOOR_BENCH_DIR")"
echo "load:   $(cut -d' ' -f1-3 /proc/loadavg)"
echo "tools:  $(cp --version | head -1); $(cmp --version | head -1); $(sed --version | head -1); $(grep --version | head -1)"

log=build-bench/bench.log
: >"$log"
run() {
  echo "== $1"
  shift
  "$@" | tee -a "$log"
}
run "file_copy and CompareFiles, 256 MiB" build-bench/bench/bench_file_copy
run "cmd_insert and cmd_delete, 1,000,000 lines" build-bench/bench/bench_line_edit
run "runonce, journal of 100,000 entries" build-bench/bench/bench_runonce
run "runner, script of 1,000,000 lines" build-bench/bench/bench_runner
exe=$(find build-win64 build-win32 -name tallmoor.exe -type f 2>/dev/null | head -1 || true)
run "logon: CPU time, memory, size" build-bench/bench/bench_logon examples \
  build-bench/bench/bench_logon_driver build-bench/bench/tallmoor_static ${exe:+"$exe"}

echo "== summary (figure, goal, verdict)"
grep '^RESULT' "$log" | sed 's/^RESULT //'
