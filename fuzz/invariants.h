// Checks that hold after every fuzz input: every text field of the session
// is terminated within its size, the report within its capacity, and the
// block state within its bounds. A broken invariant aborts the run.
#pragma once

#include <cstdio>
#include <cstdlib>
#include <cstring>

#include "engine/session.h"

inline void Require(bool condition, const char* what)
{
    if (!condition) {
        std::fprintf(stderr, "invariant broken: %s\n", what);
        std::abort();
    }
}

inline bool Terminated(const char* field, size_t size)
{
    return std::memchr(field, 0, size) != nullptr;
}

inline void CheckSession(const SessionContext& c)
{
    const char* fields[] = {c.serverName,  c.logonAlias, c.userName,     c.computerName,
                            c.macAddress,  c.logonPath,  c.scriptPath,   c.exeDir,
                            c.localExePath, c.serverExePath, c.updaterPath};
    for (const char* field : fields)
        Require(Terminated(field, FieldSize), "text field terminated within 264 bytes");
    Require(Terminated(c.report, ReportSize), "report terminated");
    Require(std::strlen(c.report) <= ReportSize - 1, "report at most 16383 characters");
    Require(c.tokenCount >= 0 && c.tokenCount <= MaxTokens, "token count 0 to 5");
    for (int i = 0; i <= MaxTokens; i++)
        Require(std::strlen(c.tokens[i]) <= TokenLimit, "token at most 260 characters");
    Require(c.tokens[c.tokenCount][0] == 0, "slot after the last token empty");
    Require(c.ifDepth >= 0, "ifDepth never below 0");
    Require(c.ifDepth < MaxLevels, "ifDepth within the block state");
    Require(c.excessDepth >= 0, "excess depth never below 0");
}
