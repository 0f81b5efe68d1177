// What every benchmark program shares: a scratch directory, timing of the
// system's own code in this process (best of several warm runs), timing of a
// reference tool started as a process the same way, and the result line that
// puts a ratio beside its goal.
//
// Reference tools run with LC_ALL=C, their fastest locale, and with their
// output sent to /dev/null. Their times include starting the process; the
// system's own code runs in-process, as it does in a logon.
#pragma once

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <functional>
#include <string>
#include <vector>

#include <spawn.h>
#include <sys/wait.h>

extern char** environ;

namespace bench {

// Timed runs after one untimed warm-up run; the best one counts. 9 unless
// $TALLMOOR_BENCH_RUNS says otherwise (more for profiling).
inline int Runs()
{
    const char* text = std::getenv("TALLMOOR_BENCH_RUNS");
    const int runs = text ? std::atoi(text) : 0;
    return runs > 0 ? runs : 9;
}

// A scratch directory, removed with everything in it. It lies below
// $TALLMOOR_BENCH_DIR when that is set, else below /tmp, so that copies stay
// on one file system.
class ScratchDir {
public:
    ScratchDir()
    {
        const char* base = std::getenv("TALLMOOR_BENCH_DIR");
        std::string pattern = std::string(base && *base ? base : "/tmp") + "/tallmoor-bench-XXXXXX";
        std::vector<char> buffer(pattern.begin(), pattern.end());
        buffer.push_back(0);
        if (!mkdtemp(buffer.data())) {
            std::perror("mkdtemp");
            std::exit(1);
        }
        path = buffer.data();
    }
    ~ScratchDir()
    {
        std::error_code ignored;
        std::filesystem::remove_all(path, ignored);
    }
    std::string operator/(const std::string& name) const { return path + "/" + name; }

    std::string path;
};

inline double SecondsOf(const std::function<void()>& work)
{
    const auto start = std::chrono::steady_clock::now();
    work();
    return std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
}

struct Times {
    double own;        // the system's own code
    double reference;  // the reference tool
};

// Times the system's own code and the reference alternately, so that both
// meet the same noise: `prepare` (untimed) before every run, one warm-up
// run of each, then Runs() timed runs of each; the best of each counts.
inline Times BestOfEach(const std::function<void()>& own, const std::function<void()>& reference,
                        const std::function<void()>& prepare = [] {})
{
    prepare();
    own();
    prepare();
    reference();
    Times best{1e30, 1e30};
    for (int i = 0, runs = Runs(); i < runs; i++) {
        prepare();
        best.own = std::min(best.own, SecondsOf(own));
        prepare();
        best.reference = std::min(best.reference, SecondsOf(reference));
    }
    return best;
}

// Peak resident memory in KiB (VmHWM) from a /proc status file, such as
// "/proc/self/status"; -1 when it cannot be read. ru_maxrss is not used: a
// process started by posix_spawn carries its parent's peak from before exec.
inline long PeakResidentKiB(const std::string& statusFile)
{
    std::FILE* status = std::fopen(statusFile.c_str(), "r");
    long kib = -1;
    char line[128];
    while (status && std::fgets(line, sizeof line, status)) {
        if (std::strncmp(line, "VmHWM:", 6) == 0)
            std::sscanf(line + 6, "%ld", &kib);
    }
    if (status)
        std::fclose(status);
    return kib;
}

// Starts the tool and waits for it; answers its exit status, or -1 when it
// could not be started. Standard output goes to /dev/null.
inline int RunTool(const std::vector<std::string>& args)
{
    std::vector<char*> argv;
    for (const std::string& a : args)
        argv.push_back(const_cast<char*>(a.c_str()));
    argv.push_back(nullptr);
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_addopen(&actions, 1, "/dev/null", 1 /* O_WRONLY */, 0);
    setenv("LC_ALL", "C", 1);
    pid_t pid;
    const int started = posix_spawnp(&pid, argv[0], &actions, nullptr, argv.data(), environ);
    posix_spawn_file_actions_destroy(&actions);
    if (started != 0)
        return -1;
    int status = 0;
    if (waitpid(pid, &status, 0) != pid || !WIFEXITED(status))
        return -1;
    return WEXITSTATUS(status);
}

// Like RunTool, but stops the benchmark when the tool does not answer
// `expected`: a reference that failed measures nothing.
inline void RunToolExpecting(const std::vector<std::string>& args, int expected = 0)
{
    const int status = RunTool(args);
    if (status != expected) {
        std::fprintf(stderr, "reference tool %s answered %d, expected %d\n", args[0].c_str(), status, expected);
        std::exit(1);
    }
}

// Stops the benchmark when the system's own code did not do what is
// measured.
inline void Require(bool condition, const char* what)
{
    if (!condition) {
        std::fprintf(stderr, "benchmark check failed: %s\n", what);
        std::exit(1);
    }
}

enum class Goal { AtLeast, AtMost };

// One result line: "RESULT <name> <ratio> (goal <op> <goal>) met|MISSED",
// after a line with both times. Answers whether the goal was met.
inline bool Report(const char* name, const char* what, double ratio, Goal goal, double target,
                   const std::string& detail)
{
    const bool met = goal == Goal::AtLeast ? ratio >= target : ratio <= target;
    std::printf("  %s\n", detail.c_str());
    std::printf("RESULT %-28s %-44s %8.2f   goal %s %.2f   %s\n", name, what, ratio,
                goal == Goal::AtLeast ? ">=" : "<=", target, met ? "met" : "MISSED");
    std::fflush(stdout);
    return met;
}

inline std::string Milliseconds(const char* label, double seconds)
{
    char text[96];
    std::snprintf(text, sizeof text, "%s %.2f ms", label, seconds * 1000.0);
    return text;
}

// Writes `content` to `path`, replacing it; stops the benchmark on failure.
inline void WriteFile(const std::string& path, const std::string& content)
{
    std::FILE* f = std::fopen(path.c_str(), "wb");
    Require(f && std::fwrite(content.data(), 1, content.size(), f) == content.size() && std::fclose(f) == 0,
            "writing a test file");
}

}  // namespace bench
