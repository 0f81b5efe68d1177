// Program launch: the program file search, the command line, the command
// processor, and the command start.
//
// Command lines are joined by single blanks without quoting, the way the
// command processor and every program read them; a text with blanks in it
// therefore arrives as several words.
#include "commands/program_launch.h"

#include <cstring>
#include <string>

#include "commands/file_probes.h"
#include "engine/command_table.h"
#include "engine/tokenizer.h"
#include "platform/platform.h"

namespace {

bool IsSeparator(char c)
{
    return c == '\\' || c == '/';
}

// True when the last component of `path` has a point in it.
bool HasExtension(const char* path)
{
    bool point = false;
    for (const char* p = path; *p; ++p) {
        if (IsSeparator(*p))
            point = false;
        else if (*p == '.')
            point = true;
    }
    return point;
}

// True when `path` ends in `extension` (".bat"), ignoring the case of A-Z.
bool EndsWithFolded(const char* path, const char* extension)
{
    const size_t length = std::strlen(path);
    const size_t tail = std::strlen(extension);
    return length >= tail && EqualsFolded(path + length - tail, extension);
}

// The program file to start: a path with an extension is taken as it is; a
// path without one is tried with .EXE, .BAT and .CMD appended, and - where the
// platform starts such files - finally as it is.
bool FindProgramFile(const char* program, char (&found)[FieldSize])
{
    if (HasExtension(program))
        return JoinFits(found, sizeof found, program);
    for (const char* extension : {".EXE", ".BAT", ".CMD"}) {
        if (JoinFits(found, sizeof found, program, extension) && FileExists(found))
            return true;
    }
    if (Os().startsFilesWithoutExtension() && JoinFits(found, sizeof found, program) && FileExists(found))
        return true;
    found[0] = 0;
    return false;
}

enum class Comspec { Unset, Set, TooLong };

// The value of COMSPEC; an empty value counts as not set. A value that does
// not fit is refused rather than cut.
Comspec ComspecValue(char (&value)[FieldSize])
{
    const long length = Os().environment("COMSPEC", value, sizeof value);
    if (length <= 0)
        return Comspec::Unset;
    return length < static_cast<long>(sizeof value) ? Comspec::Set : Comspec::TooLong;
}

std::string ShortForm(const char* path)
{
    char shortened[FieldSize];
    return Os().shortPath(path, shortened, sizeof shortened) ? shortened : path;
}

// `first`, then every argument text after the first, joined by blanks.
std::string CommandLine(const std::string& first, std::initializer_list<const char*> arguments)
{
    std::string line = first;
    for (auto text = arguments.begin() + 1; text != arguments.end(); ++text)
        line.append(" ").append(*text ? *text : "");
    return line;
}

// The command processor when COMSPEC is not set: its name in the current
// directory, then in each directory of PATH (quotes in the entries ignored).
bool SearchCommandProcessor(char (&found)[FieldSize])
{
    const char* name = Os().commandProcessorName();
    if (FileExists(name))
        return JoinFits(found, sizeof found, name);
    const long length = Os().environment("PATH", nullptr, 0);
    if (length <= 0)
        return false;
    std::string list(static_cast<size_t>(length) + 1, '\0');
    Os().environment("PATH", &list[0], list.size());
    list.resize(static_cast<size_t>(length));
    const char separator = Os().pathListSeparator();
    size_t start = 0;
    while (start <= list.size()) {
        size_t end = list.find(separator, start);
        if (end == std::string::npos)
            end = list.size();
        std::string directory;
        for (size_t i = start; i < end; ++i)
            if (list[i] != '"')
                directory += list[i];
        start = end + 1;
        if (directory.empty())
            continue;
        const char* slash = IsSeparator(directory.back()) ? "" : "\\";
        if (JoinFits(found, sizeof found, directory.c_str(), slash, name) && FileExists(found))
            return true;
    }
    found[0] = 0;
    return false;
}

}  // namespace

int StartProcess(StartMode mode, const char* program, std::initializer_list<const char*> arguments)
{
    char file[FieldSize];
    if (!program || arguments.size() == 0 || !*arguments.begin() || !FindProgramFile(program, file))
        return -1;
    const bool wait = mode == StartMode::Wait;
    const char* first = *arguments.begin();
    if (EndsWithFolded(file, ".bat") || EndsWithFolded(file, ".cmd")) {
        char processor[FieldSize];
        if (ComspecValue(processor) != Comspec::Set)
            return -1;
        const std::string line = ShortForm(processor) + " /c " + CommandLine(first, arguments);
        return Os().startProcess(processor, line.c_str(), wait);
    }
    const std::string line = CommandLine(ShortForm(first), arguments);
    return Os().startProcess(file, line.c_str(), wait);
}

int RunCommand(const char* command)
{
    char processor[FieldSize];
    const Comspec comspec = ComspecValue(processor);
    if (comspec == Comspec::TooLong || (comspec == Comspec::Unset && !SearchCommandProcessor(processor)))
        return -1;
    const std::string switchAndText = std::string("/c ") + command;
    return StartProcess(StartMode::Wait, processor, {processor, switchAndText.c_str()});
}

LineResult StartCommand(SessionContext& context)
{
    EchoTokens(context);
    return RunCommand(context.tokens[1]) == 0 ? LineDone : LineFailed;
}
