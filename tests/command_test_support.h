// Helpers for the tests of the script commands: one script line run as the
// runner runs it, small shell scripts as programs, and waiting for what a
// detached program leaves.
#pragma once

#include <sys/stat.h>

#include <chrono>
#include <cstdlib>
#include <cstring>
#include <fstream>
#include <string>
#include <thread>

#include "engine/executor.h"
#include "engine/session.h"
#include "temp_dir.h"

// The result of one line and the report text it leaves, the runner's line
// ending included.
struct LineOutcome {
    LineResult result;
    std::string text;
};

inline LineOutcome RunLine(SessionContext& context, const std::string& line)
{
    const size_t before = std::strlen(context.report);
    const LineResult result = ExecuteLine(context, line.c_str());
    if (result == LineDone)
        AppendReport(context, "\r\n");
    if (result == LineFailed)
        AppendReport(context, " <-- Nicht ausgef\xfchrt!\r\n");
    return {result, std::string(context.report + before)};
}

// Writes an executable shell script.
inline void WriteScript(const std::string& path, const std::string& body)
{
    std::ofstream(path, std::ios::binary) << "#!/bin/sh\n" << body << "\n";
    chmod(path.c_str(), 0755);
}

inline std::string ReadAll(const std::string& path)
{
    std::ifstream in(path, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), {});
}

// The content of a file that a program started without waiting writes; gives
// up after a generous while (a hang guard, not a speed check).
inline std::string WaitForContent(const std::string& path)
{
    for (int i = 0; i < 1000; ++i) {
        std::string content = ReadAll(path);
        if (!content.empty() && content.back() == '\n')
            return content;
        std::this_thread::sleep_for(std::chrono::milliseconds(20));
    }
    return ReadAll(path);
}
