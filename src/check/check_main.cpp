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
#include <string>

#include "check/check_output.h"
#include "check/script_check.h"
#include "check/simulate.h"
#include "check/text_encoding.h"

namespace {

const char Usage[] =
    "Aufruf: tallmoor-check DATEI\n"
    "        tallmoor-check --simulate [--user NAME] [--computer NAME] [--mac ADRESSE]\n"
    "                       [--exists PFAD]... [--exe-dir VERZEICHNIS] DATEI\n"
    "\n"
    "Ohne --simulate: pr\xfc" "ft das Script und meldet jede Stelle als DATEI:ZEILE: Fehler|Warnung: Text.\n"
    "Exit-Status 0 ohne Befund, 1 nur Warnungen, 2 Fehler.\n"
    "Mit --simulate: f\xfchrt das Script probeweise aus, ohne etwas zu \xe4ndern, und zeigt\n"
    "den Bericht und die Aktionen, die ausgef\xfchrt w\xfcrden.\n";

int Check(const char* file)
{
    const std::vector<Finding> findings = CheckScript(file);
    std::fputs(FormatFindings(file, findings).c_str(), stdout);
    return ExitStatusOf(findings);
}

int Simulate(const char* file, const SimulationOptions& options)
{
    const SimulationResult result = SimulateScript(file, options);
    if (!result.ran) {
        std::fprintf(stderr, "%s: %s\n", file, Cp1252ToUtf8("Fehler: " + result.error).c_str());
        return ExitErrors;
    }
    std::fputs(FormatSimulation(result).c_str(), stdout);
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
            std::fputs(Cp1252ToUtf8(Usage).c_str(), stdout);
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
