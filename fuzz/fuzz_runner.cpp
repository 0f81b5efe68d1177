// Fuzz target: the whole runner on an arbitrary Logon.def, inside a
// temporary directory tree. Processes and network connections are faked and
// every file access outside the tree is refused (relative paths too: the
// fuzzer's own working directory is not part of the tree).
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <memory>
#include <string>

#include "engine/runner.h"
#include "invariants.h"
#include "sandbox_platform.h"

namespace {

struct Tree {
    std::string root;
    std::string script;
    std::unique_ptr<SandboxPlatform> platform;

    Tree()
    {
        // In memory where the machine has it: the file commands write their
        // copies through to disk, which would make every run slow.
        const bool memory = std::filesystem::is_directory("/dev/shm");
        std::string pattern = std::string(memory ? "/dev/shm" : "/tmp") + "/tallmoor-fuzz-run-XXXXXX";
        root = mkdtemp(pattern.data());
        setenv("TALLMOOR_UNC_ROOT", (root + "/unc").c_str(), 1);
        setenv("TALLMOOR_DRIVES", (root + "/drives").c_str(), 1);
        script = root + "/unc/srv/logon/Logon.def";
        reset();
        platform = std::make_unique<SandboxPlatform>(root);
        SetPlatform(platform.get());
    }

    ~Tree()
    {
        SetPlatform(nullptr);
        std::error_code ignored;
        std::filesystem::remove_all(root, ignored);
    }

    // Everything a script may have created is removed now and then, so that
    // the tree stays small over millions of runs.
    void reset()
    {
        std::error_code ignored;
        std::filesystem::remove_all(root + "/drives", ignored);
        std::filesystem::remove_all(root + "/unc", ignored);
        std::filesystem::remove_all(root + "/program", ignored);
        for (const char* dir : {"/drives/c", "/unc/srv/logon", "/program"})
            std::filesystem::create_directories(root + dir);
        FILE* f = std::fopen((root + "/drives/c/boot.ini").c_str(), "wb");
        std::fputs("[boot loader]\r\ntimeout=30\r\n", f);
        std::fclose(f);
    }
};

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    static Tree tree;
    static int runs = 0;
    if (++runs % 500 == 0)
        tree.reset();

    FILE* file = std::fopen(tree.script.c_str(), "wb");
    std::fwrite(data, 1, size, file);
    std::fclose(file);

    static SessionContext context;
    ClearSession(context);
    SetUserName(context, "hans");
    SetExeDir(context, (tree.root + "/program").c_str());
    std::snprintf(context.serverName, FieldSize, "\\\\srv");
    std::snprintf(context.logonAlias, FieldSize, "logon");
    std::snprintf(context.logonPath, FieldSize, "\\\\srv\\logon");
    std::snprintf(context.scriptPath, FieldSize, "\\\\srv\\logon\\Logon.def");

    bool aborted = false;
    const char* report = RunScript(context, aborted);
    Require(report == context.report, "the runner answers the session's report");
    CheckSession(context);
    return 0;
}
