// Formatting the checker's output.
#include "check/check_output.h"

#include <algorithm>

#include "check/text_encoding.h"

static std::string Count(int count, const char* one, const char* many)
{
    return std::to_string(count) + " " + (count == 1 ? one : many);
}

// The report's CR LF (and a lone CR) as one line feed.
static std::string TerminalLines(const std::string& report)
{
    std::string out;
    for (size_t i = 0; i < report.size(); i++) {
        if (report[i] != '\r')
            out += report[i];
        else if (i + 1 == report.size() || report[i + 1] != '\n')
            out += '\n';
    }
    if (!out.empty() && out.back() != '\n')
        out += '\n';
    return out;
}

std::string FormatFindings(const std::string& file, const std::vector<Finding>& findings)
{
    std::string out;
    int errors = 0;
    int warnings = 0;
    for (const Finding& finding : findings) {
        (finding.severity == Severity::Error ? errors : warnings)++;
        out += file;
        if (finding.line > 0)
            out += ":" + std::to_string(finding.line);
        out += Cp1252ToUtf8(std::string(": ") + SeverityText(finding.severity) + ": " + finding.text) + "\n";
    }
    return out + Count(errors, "Fehler", "Fehler") + ", " + Count(warnings, "Warnung", "Warnungen") + "\n";
}

int ExitStatusOf(const std::vector<Finding>& findings)
{
    int status = ExitClean;
    for (const Finding& finding : findings)
        status = finding.severity == Severity::Error ? ExitErrors : std::max(status, ExitWarnings);
    return status;
}

std::string FormatSimulation(const SimulationResult& result)
{
    std::string out = "=== Bericht ===\n" + TerminalLines(result.report);
    if (result.aborted)
        out += "Scriptabbruch!\n";
    out += "=== Aktionen ===\n";
    if (result.actions.empty())
        out += "(keine)\n";
    for (const std::string& action : result.actions)
        out += action + "\n";
    return Cp1252ToUtf8(out);
}
