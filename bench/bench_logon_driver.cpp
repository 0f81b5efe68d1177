// One logon without the window, as a process of its own, for measuring the
// CPU time and peak memory of a whole logon: the start file in the program
// directory given as the only argument, the user, the script, the report.
//
// At its end it prints "<CPU microseconds> <peak resident KiB>": the CPU
// time from getrusage(RUSAGE_SELF), the peak from VmHWM of /proc/self/status.
// (ru_maxrss would not do: a process started by posix_spawn carries the
// peak of its parent's memory from before the exec.) Exit status 0 when the
// script ran.
#include <cstdio>
#include <cstring>

#include <sys/resource.h>

#include "bench_support.h"
#include "engine/logon.h"
#include "engine/session.h"

int main(int argc, char** argv)
{
    if (argc != 2) {
        std::fprintf(stderr, "usage: bench_logon_driver PROGRAM_DIR\n");
        return 2;
    }
    const LogonOutcome outcome = RunLogon(TheSession(), argv[1]);
    rusage usage{};
    getrusage(RUSAGE_SELF, &usage);
    const long cpu = (usage.ru_utime.tv_sec + usage.ru_stime.tv_sec) * 1000000L + usage.ru_utime.tv_usec +
                     usage.ru_stime.tv_usec;
    std::printf("%ld %ld\n", cpu, bench::PeakResidentKiB("/proc/self/status"));
    return outcome.ran ? 0 : 1;
}
