// The script runner on a script of 1,000,000 lines, most of them inside
// blocks whose condition does not hold, with an active echo in every
// section, beside wc -l reading the same file. The report fills up to its
// 16383 characters early; the rest of the echoes are dropped, as in any
// logon whose report is full. The script holds no filepresence condition:
// that one asks the file system even in an inactive block, and this
// benchmark measures the reading and interpreting of lines.
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <string>

#include "bench_support.h"
#include "engine/runner.h"
#include "engine/session.h"

namespace {

constexpr int ScriptLines = 1000000;

// One section of 20 lines: a comment, an inactive block of 17 lines with
// the commands of a real script, and an echo that runs.
const char* const Section[] = {
    "; Abteilung Einkauf",
    "if user = niemand",
    "  drive h: \\\\fileserver\\home",
    "  drive k: \\\\fileserver\\einkauf",
    "  file_copy \\\\fileserver\\logon\\vorlage.dot c:\\vorlagen\\vorlage.dot",
    "  file_delete c:\\temp\\alt.tmp",
    "  cmd_insert c:\\windows\\hosts \"10.0.0.5   drucker\"",
    "  runonce setup.exe",
    "  start \"net time \\\\fileserver /set /yes\"",
    "  echo \"Willkommen im Einkauf\"",
    "  if computername = pc99",
    "    echo \"nie\"",
    "    cmd_delete c:\\windows\\hosts \"10.0.0.9   alt\"",
    "  endif",
    "  if macaddress = 00c0ffee0001",
    "    show_tmp",
    "  endif",
    "endif",
    "echo \"Abschnitt fertig\"",
    "",
};
constexpr int SectionLines = sizeof Section / sizeof Section[0];

std::string ScriptText()
{
    std::string text;
    text.reserve(ScriptLines * 32);
    for (int i = 0; i < ScriptLines; i++) {
        text += Section[i % SectionLines];
        text += "\r\n";
    }
    return text;
}

}  // namespace

int main()
{
    static_assert(ScriptLines % SectionLines == 0, "whole sections");
    bench::ScratchDir dir;
    const std::string script = dir / "Logon.def";
    bench::WriteFile(script, ScriptText());

    SessionContext& context = *new SessionContext;
    const auto prepare = [&] {
        ClearSession(context);
        CopyBounded(context.scriptPath, script.c_str(), sizeof context.scriptPath);
        SetUserName(context, "benutzer");
    };
    bool aborted = false;
    size_t reportLength = 0;
    const bench::Times t = bench::BestOfEach(
        [&] {
            RunScript(context, aborted);
            bench::Require(std::strstr(context.report, "Abschnitt fertig") != nullptr, "the script ran");
            reportLength = std::strlen(context.report);
        },
        [&] { bench::RunToolExpecting({"wc", "-l", script}); }, prepare);
    const double own = t.own;
    const double wc = t.reference;

    std::printf("runner: script of %d lines, %ld bytes; report %zu characters\n", ScriptLines,
                static_cast<long>(std::filesystem::file_size(script)), reportLength);
    char detail[160];
    std::snprintf(detail, sizeof detail, "runner %.0f lines/s (%.2f ms), wc -l %.0f lines/s (%.2f ms)",
                  ScriptLines / own, own * 1000, ScriptLines / wc, wc * 1000);
    bench::Report("runner_lines", "lines/s vs wc -l", wc / own, bench::Goal::AtLeast, 0.25, detail);
    return 0;
}
