// A typical logon: the bundled example, run by bench_logon_driver (the
// logon without the window's timer waits) and by the program tallmoor
// itself, each as a process of its own: CPU time (user and system) and peak
// resident memory (VmHWM) of the whole process, and the size of both
// statically linked programs, stripped.
//
// The driver reports its own figures when it ends. For tallmoor the CPU time
// is what wait4 counts for it, and its peak is read from /proc/PID/status
// every 10 ms while it runs: a high-water mark, so the last reading holds
// all but its last moments. (ru_maxrss would not do for either: a process
// started by posix_spawn carries the peak of its parent's memory from
// before the exec.)
//
// Usage: bench_logon EXAMPLES_DIR DRIVER TALLMOOR [TALLMOOR_EXE]
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <string>
#include <vector>

#include <fcntl.h>
#include <spawn.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

#include "bench_support.h"

namespace fs = std::filesystem;

namespace {

struct ProcessCost {
    double cpuMs = 0;
    double peakMiB = 0;
    double wallMs = 0;
    int status = -1;
};

// Runs the program with standard input on /dev/null and standard output
// into `output`; answers the CPU time wait4 counts for it (its children not
// included) and, with `samplePeak`, its peak as sampled while it ran.
ProcessCost Measure(const std::vector<std::string>& args, const char* output, bool samplePeak)
{
    std::vector<char*> argv;
    for (const std::string& a : args)
        argv.push_back(const_cast<char*>(a.c_str()));
    argv.push_back(nullptr);
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_addopen(&actions, 0, "/dev/null", O_RDONLY, 0);
    posix_spawn_file_actions_addopen(&actions, 1, output, O_WRONLY | O_CREAT | O_TRUNC, 0644);
    ProcessCost cost;
    rusage usage{};
    long peakKiB = 0;
    cost.wallMs = 1000 * bench::SecondsOf([&] {
        pid_t pid;
        if (posix_spawn(&pid, argv[0], &actions, nullptr, argv.data(), environ) != 0)
            return;
        int status = 0;
        pid_t ended;
        while ((ended = wait4(pid, &status, samplePeak ? WNOHANG : 0, &usage)) == 0) {
            peakKiB = std::max(peakKiB, bench::PeakResidentKiB("/proc/" + std::to_string(pid) + "/status"));
            usleep(10000);
        }
        if (ended == pid && WIFEXITED(status))
            cost.status = WEXITSTATUS(status);
    });
    posix_spawn_file_actions_destroy(&actions);
    const auto ms = [](const timeval& t) { return t.tv_sec * 1000.0 + t.tv_usec / 1000.0; };
    cost.cpuMs = ms(usage.ru_utime) + ms(usage.ru_stime);
    cost.peakMiB = peakKiB / 1024.0;
    return cost;
}

// The driver's own figures: its CPU time and its peak, printed at its end.
ProcessCost MeasureDriver(const std::string& driver, const std::string& programDir, const bench::ScratchDir& dir)
{
    const std::string output = dir / "driver.out";
    ProcessCost cost = Measure({driver, programDir}, output.c_str(), false);
    long cpuMicroseconds = -1;
    long peakKiB = -1;
    std::FILE* figures = std::fopen(output.c_str(), "r");
    const bool read = figures && std::fscanf(figures, "%ld %ld", &cpuMicroseconds, &peakKiB) == 2;
    if (figures)
        std::fclose(figures);
    bench::Require(read && cost.status == 0, "the logon ran");
    cost.cpuMs = cpuMicroseconds / 1000.0;
    cost.peakMiB = peakKiB / 1024.0;
    return cost;
}

// The best CPU time and the highest peak over the runs.
ProcessCost Repeated(const std::function<ProcessCost()>& measure, int runs)
{
    ProcessCost best = measure();
    for (int i = 1; i < runs; i++) {
        const ProcessCost cost = measure();
        bench::Require(cost.status == 0, "the logon ran");
        best.cpuMs = std::min(best.cpuMs, cost.cpuMs);
        best.peakMiB = std::max(best.peakMiB, cost.peakMiB);
        best.wallMs = std::min(best.wallMs, cost.wallMs);
    }
    return best;
}

std::string Describe(const char* label, const ProcessCost& cost)
{
    char text[160];
    std::snprintf(text, sizeof text, "%s: CPU %.2f ms, peak resident %.2f MiB, wall %.1f ms", label, cost.cpuMs,
                  cost.peakMiB, cost.wallMs);
    return text;
}

// Size in MiB of a stripped copy of the program.
double StrippedMiB(const std::string& program, const bench::ScratchDir& dir, const char* strip = "strip")
{
    const std::string copy = dir / ("stripped-" + fs::path(program).filename().string());
    fs::copy_file(program, copy, fs::copy_options::overwrite_existing);
    bench::RunToolExpecting({strip, copy});
    return fs::file_size(copy) / (1024.0 * 1024.0);
}

void ReportSize(const char* name, const std::string& program, const bench::ScratchDir& dir,
                const char* strip = "strip")
{
    const double unstripped = fs::file_size(program) / (1024.0 * 1024.0);
    const double stripped = StrippedMiB(program, dir, strip);
    char detail[320];
    std::snprintf(detail, sizeof detail, "%s: %.2f MiB stripped, %.2f MiB as built", program.c_str(), stripped,
                  unstripped);
    bench::Report(name, "MiB, stripped", stripped, bench::Goal::AtMost, 1.0, detail);
}

}  // namespace

int main(int argc, char** argv)
{
    if (argc < 4) {
        std::fprintf(stderr, "usage: bench_logon EXAMPLES_DIR DRIVER TALLMOOR [TALLMOOR_EXE]\n");
        return 2;
    }
    bench::ScratchDir dir;
    const std::string example = dir / "example";
    fs::copy(argv[1], example, fs::copy_options::recursive);
    const std::string programDir = example + "/program";
    const std::string tallmoor = programDir + "/tallmoor";
    fs::copy_file(argv[3], tallmoor);
    setenv("TALLMOOR_UNC_ROOT", (example + "/share").c_str(), 1);
    setenv("TALLMOOR_DRIVES", (example + "/drives").c_str(), 1);

    // The first logon copies, inserts and starts the runonce program; every
    // later one finds that done, as on a workstation from the second day on.
    const auto driver = [&] { return MeasureDriver(argv[2], programDir, dir); };
    const ProcessCost first = driver();
    const ProcessCost again = Repeated(driver, bench::Runs() * 4);
    std::printf("%s\n", Describe("  first logon (driver)", first).c_str());
    // The program itself, with its timer: about seven seconds of waiting
    // that cost no CPU time.
    const ProcessCost program = Repeated([&] { return Measure({tallmoor}, "/dev/null", true); }, 2);

    const std::string driverLine = Describe("repeat logon (driver)", again);
    bench::Report("logon_cpu_ms", "CPU ms, driver, repeat logon", again.cpuMs, bench::Goal::AtMost, 10.0, driverLine);
    bench::Report("logon_peak_rss_MiB", "MiB resident, driver, repeat logon", again.peakMiB, bench::Goal::AtMost, 4.0,
                  driverLine);
    // Its CPU time holds the timer's seven seconds of wake-ups and drawing,
    // which the goal leaves out: shown beside, not judged.
    const std::string programLine = Describe("tallmoor, whole run with its timer (CPU not judged)", program);
    bench::Report("tallmoor_peak_rss_MiB", "MiB resident, tallmoor, whole run", program.peakMiB, bench::Goal::AtMost,
                  4.0, programLine);

    ReportSize("tallmoor_size_MiB", argv[3], dir);
    ReportSize("logon_driver_size_MiB", argv[2], dir);
    if (argc > 4)
        ReportSize("tallmoor_exe_size_MiB", argv[4], dir, "x86_64-w64-mingw32-strip");
    return 0;
}
