// tallmoor-check: checks a logon script before it is deployed, or runs it
// dry for a given user and computer.
//
//   tallmoor-check FILE
//   tallmoor-check --simulate [--user NAME] [--computer NAME] [--mac ADDRESS]
//                  [--exists PATH]... [--exe-dir DIR] FILE
//
// The system's texts are Windows-1252; everything printed is UTF-8.
// Exit status of a check: 0 clean, 1 warnings only, 2 errors (an unreadable
// file or a wrong call counts as an error).
#include <cstdio>
#include <cstring>
#include <string>

#include "check/script_check.h"
#include "check/simulate.h"
#include "check/text_encoding.h"

namespace {

constexpr int ExitClean = 0;
constexpr int ExitWarnings = 1;
constexpr int ExitErrors = 2;

const char Usage[] =
    "Aufruf: tallmoor-check DATEI\n"
    "        tallmoor-check --simulate [--user NAME] [--computer NAME] [--mac ADRESSE]\n"
    "                       [--exists PFAD]... [--exe-dir VERZEICHNIS] DATEI\n"
    "\n"
    "Ohne --simulate: pr\xfc" "ft das Script und meldet jede Stelle als DATEI:ZEILE: Fehler|Warnung: Text.\n"
    "Exit-Status 0 ohne Befund, 1 nur Warnungen, 2 Fehler.\n"
    "Mit --simulate: f\xfchrt das Script probeweise aus, ohne etwas zu \xe4ndern, und zeigt\n"
    "den Bericht und die Aktionen, die ausgef\xfchrt w\xfcrden.\n";

void Print(const std::string& cp1252Text)
{
    std::fputs(Cp1252ToUtf8(cp1252Text).c_str(), stdout);
}

// The report's CR LF (and a lone CR) as the terminal's line end.
std::string TerminalLines(const std::string& report)
{
    std::string out;
    for (size_t i = 0; i < report.size(); i++) {
        if (report[i] == '\r') {
            if (i + 1 < report.size() && report[i + 1] == '\n')
                continue;
            out += '\n';
            continue;
        }
        out += report[i];
    }
    if (!out.empty() && out.back() != '\n')
        out += '\n';
    return out;
}

std::string Count(int count, const char* one, const char* many)
{
    return std::to_string(count) + " " + (count == 1 ? one : many);
}

int Check(const char* file)
{
    int errors = 0;
    int warnings = 0;
    for (const Finding& finding : CheckScript(file)) {
        (finding.severity == Severity::Error ? errors : warnings)++;
        std::string place = file;
        if (finding.line > 0)
            place += ":" + std::to_string(finding.line);
        std::fputs(place.c_str(), stdout);  // the name as the shell gave it
        Print(std::string(": ") + SeverityText(finding.severity) + ": " + finding.text + "\n");
    }
    Print(Count(errors, "Fehler", "Fehler") + ", " + Count(warnings, "Warnung", "Warnungen") + "\n");
    return errors ? ExitErrors : warnings ? ExitWarnings : ExitClean;
}

int Simulate(const char* file, const SimulationOptions& options)
{
    const SimulationResult result = SimulateScript(file, options);
    if (!result.ran) {
        std::fputs(file, stderr);
        std::fputs(Cp1252ToUtf8(": Fehler: " + result.error + "\n").c_str(), stderr);
        return ExitErrors;
    }
    Print("=== Bericht ===\n" + TerminalLines(result.report));
    if (result.aborted)
        Print("Scriptabbruch!\n");
    Print("=== Aktionen ===\n");
    if (result.actions.empty())
        Print("(keine)\n");
    for (const std::string& action : result.actions)
        Print(action + "\n");
    return ExitClean;
}

int Fail(const std::string& message)
{
    std::fputs(Cp1252ToUtf8(message + "\n\n" + Usage).c_str(), stderr);
    return ExitErrors;
}

}  // namespace

int main(int argc, char** argv)
{
    bool simulate = false;
    bool simulationOption = false;
    SimulationOptions options;
    const char* file = nullptr;
    for (int i = 1; i < argc; i++) {
        const std::string arg = argv[i];
        std::string* value = arg == "--user"       ? &options.user
                             : arg == "--computer" ? &options.computer
                             : arg == "--mac"      ? &options.mac
                             : arg == "--exe-dir"  ? &options.exeDir
                                                   : nullptr;
        if (arg == "--help" || arg == "-h") {
            Print(Usage);
            return ExitClean;
        } else if (arg == "--simulate") {
            simulate = true;
        } else if (value || arg == "--exists") {
            if (i + 1 >= argc)
                return Fail("Zu " + arg + " fehlt der Wert");
            if (value)
                *value = argv[++i];
            else
                options.existing.push_back(argv[++i]);
            simulationOption = true;
        } else if (arg.size() > 1 && arg[0] == '-') {
            return Fail("Unbekannte Option " + arg);
        } else if (file) {
            return Fail("Nur eine Datei angeben");
        } else {
            file = argv[i];
        }
    }
    if (!file)
        return Fail("Keine Datei angegeben");
    if (simulationOption && !simulate)
        return Fail("--user, --computer, --mac, --exists und --exe-dir gelten nur mit --simulate");
    return simulate ? Simulate(file, options) : Check(file);
}
