// Process start on POSIX (see posix_process.h).
#include "platform/posix/posix_process.h"

#include "platform/posix/path_map.h"

#include <spawn.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>
#include <string>
#include <vector>

extern char** environ;

namespace {

bool IsBlank(char c)
{
    return c == ' ' || c == '\t';
}

bool IsRunnable(const std::string& path)
{
    struct stat info;
    return stat(path.c_str(), &info) == 0 && S_ISREG(info.st_mode) && access(path.c_str(), X_OK) == 0;
}

// The command line after the program's own text (or after its first word,
// when it does not begin with that text).
const char* AfterProgram(const char* application, const char* commandLine)
{
    const size_t length = std::strlen(application);
    if (std::strncmp(commandLine, application, length) == 0 &&
        (commandLine[length] == 0 || IsBlank(commandLine[length])))
        return commandLine + length;
    const char* p = commandLine;
    while (IsBlank(*p))
        ++p;
    while (*p && !IsBlank(*p))
        ++p;
    return p;
}

std::vector<std::string> ArgumentsOf(const std::string& program, const char* application,
                                     const char* commandLine)
{
    std::vector<std::string> words{program};
    const char* rest = AfterProgram(application, commandLine);
    while (IsBlank(*rest))
        ++rest;
    if ((rest[0] == '/' && (rest[1] == 'c' || rest[1] == 'C')) && (rest[2] == 0 || IsBlank(rest[2]))) {
        words.push_back("-c");
        words.push_back(rest[2] ? rest + 3 : "");
        return words;
    }
    while (*rest) {
        const char* end = rest;
        while (*end && !IsBlank(*end))
            ++end;
        words.emplace_back(rest, end);
        rest = end;
        while (IsBlank(*rest))
            ++rest;
    }
    return words;
}

int WaitFor(pid_t child)
{
    int status = 0;
    while (waitpid(child, &status, 0) < 0) {
        if (errno != EINTR)
            return -1;
    }
    if (WIFEXITED(status))
        return WEXITSTATUS(status);
    if (WIFSIGNALED(status))
        return 128 + WTERMSIG(status);
    return -1;
}

int SpawnAndWait(const std::string& program, char* const argv[])
{
    pid_t child = 0;
    if (posix_spawn(&child, program.c_str(), nullptr, nullptr, argv, environ) != 0)
        return -1;
    return WaitFor(child);
}

// Everything the children use is prepared before the first fork; between
// fork and exec only async-signal-safe calls are made.
int SpawnDetached(const std::string& program, char* const argv[])
{
    const pid_t intermediate = fork();
    if (intermediate < 0)
        return -1;
    if (intermediate == 0) {
        const pid_t grandchild = fork();
        if (grandchild == 0) {
            execve(program.c_str(), argv, environ);
            _exit(127);
        }
        _exit(grandchild < 0 ? 1 : 0);
    }
    return WaitFor(intermediate) == 0 ? 0 : -1;
}

}  // namespace

int StartPosixProcess(const char* application, const char* commandLine, bool wait)
{
    std::string program;
    if (!application || !MapWindowsPath(application, program) || !IsRunnable(program))
        return -1;
    std::vector<std::string> words = ArgumentsOf(program, application, commandLine ? commandLine : "");
    std::vector<char*> argv;
    for (std::string& word : words)
        argv.push_back(&word[0]);
    argv.push_back(nullptr);
    return wait ? SpawnAndWait(program, argv.data()) : SpawnDetached(program, argv.data());
}
