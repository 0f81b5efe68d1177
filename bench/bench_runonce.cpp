// runonce against a run journal of 100,000 entries, beside grep -c -i of the
// fingerprint on the same journal. The fingerprint stands in the middle of
// the journal, so runonce finds it and starts nothing; it reads the whole
// journal all the same, as grep does.
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <string>

#include "bench_support.h"
#include "commands/run_journal.h"
#include "engine/session.h"

namespace {

constexpr int JournalEntries = 100000;

std::string JournalText(const std::string& fingerprint)
{
    std::string text;
    text.reserve(JournalEntries * 64);
    char line[160];
    for (int i = 0; i < JournalEntries; i++) {
        if (i == JournalEntries / 2) {
            text += fingerprint + "\r\n";
            continue;
        }
        std::snprintf(line, sizeof line, "\\\\fileserver\\logon\\paket%05d.exe %d Byte 20%02d-%02d-%02d %02d:%02d:%02d\r\n",
                      i, 1000 + i * 7, 8 + i % 16, 1 + i % 12, 1 + i % 28, i % 24, i % 60, (i % 30) * 2);
        text += line;
    }
    return text;
}

}  // namespace

int main()
{
    bench::ScratchDir dir;
    const std::string logon = dir / "share/fileserver/logon";
    const std::string program = dir / "program";
    std::filesystem::create_directories(logon);
    std::filesystem::create_directories(program);
    setenv("TALLMOOR_UNC_ROOT", (dir / "share").c_str(), 1);
    bench::WriteFile(logon + "/setup.exe", std::string(123456, 'x'));

    SessionContext context;
    CopyBounded(context.logonPath, "\\\\fileserver\\logon", sizeof context.logonPath);
    SetExeDir(context, program.c_str());
    const char* print = FileFingerprint("\\\\fileserver\\logon\\setup.exe");
    bench::Require(print != nullptr, "fingerprint of the program file");
    const std::string fingerprint = print;
    const std::string journal = program + "/tallmoor.run";
    bench::WriteFile(journal, JournalText(fingerprint));

    std::printf("runonce: journal of %d entries, %ld bytes; fingerprint \"%s\"\n", JournalEntries,
                static_cast<long>(std::filesystem::file_size(journal)), fingerprint.c_str());
    const bench::Times t = bench::BestOfEach(
        [&] { bench::Require(RunOnce(context, "setup.exe") == 0, "runonce finds the entry"); },
        [&] { bench::RunToolExpecting({"grep", "-c", "-i", "-F", fingerprint, journal}); });
    bench::Report("runonce_journal", "time vs grep -c -i -F", t.own / t.reference, bench::Goal::AtMost, 2.0,
                  bench::Milliseconds("runonce", t.own) + ", " + bench::Milliseconds("grep -c -i -F", t.reference));
    return 0;
}
