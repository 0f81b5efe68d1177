// cmd_insert and cmd_delete on a line file of 1,000,000 lines against what
// an administrator would do by hand: cp to the backup, cmp the backup with
// the file, then sed -i. Before every run the file is put back as it was
// and its backup removed.
#include <cstdio>
#include <filesystem>
#include <string>

#include "bench_support.h"
#include "commands/line_edit.h"
#include "engine/session.h"

namespace {

constexpr int FileLines = 1000000;
constexpr int DeletedLine = FileLines / 2;

std::string HostLine(int i)
{
    char line[64];
    std::snprintf(line, sizeof line, "10.%d.%d.%d   host%07d", i >> 16, (i >> 8) & 255, i & 255, i);
    return line;
}

std::string HostsText()
{
    std::string text;
    text.reserve(FileLines * 32);
    for (int i = 0; i < FileLines; i++)
        text += HostLine(i) + "\r\n";
    return text;
}

// The backup the shell version makes, under the name cmd_insert picks first.
std::string BackupOf(const std::string& file)
{
    return file.substr(0, file.rfind('.')) + ".000";
}

struct Edit {
    const char* name;
    const char* label;
    std::string line;
    std::string sedProgram;
    int (*edit)(SessionContext&, const char*, char*);
};

void BenchEdit(const Edit& edit, const std::string& file, const std::string& pristine)
{
    SessionContext& context = *new SessionContext;
    const std::string backup = BackupOf(file);
    const auto restore = [&] {
        std::filesystem::copy_file(pristine, file, std::filesystem::copy_options::overwrite_existing);
        std::error_code ignored;
        std::filesystem::remove(backup, ignored);
    };
    const bench::Times t = bench::BestOfEach(
        [&] {
            char line[FieldSize];
            CopyBounded(line, edit.line.c_str(), sizeof line);
            bench::Require(edit.edit(context, file.c_str(), line) == 1, "the file was changed");
        },
        [&] {
            bench::RunToolExpecting({"sh", "-c", "cp \"$0\" \"$1\" && cmp \"$0\" \"$1\" && sed -i \"$2\" \"$0\"", file,
                                     backup, edit.sedProgram});
        },
        restore);
    bench::Report(edit.name, edit.label, t.own / t.reference, bench::Goal::AtMost, 1.0,
                  bench::Milliseconds(edit.name, t.own) + ", " + bench::Milliseconds("cp+cmp+sed -i", t.reference));
}

}  // namespace

int main()
{
    bench::ScratchDir dir;
    const std::string pristine = dir / "hosts.orig";
    const std::string file = dir / "hosts.txt";
    bench::WriteFile(pristine, HostsText());
    std::printf("cmd_insert and cmd_delete: %d lines, %ld bytes\n", FileLines,
                static_cast<long>(std::filesystem::file_size(pristine)));

    const std::string deleted = HostLine(DeletedLine);
    const Edit edits[] = {
        {"cmd_insert_1M_lines", "time vs cp+cmp+sed -i", "10.9.9.9   drucker", "1i 10.9.9.9   drucker\r", InsertLine},
        {"cmd_delete_1M_lines", "time vs cp+cmp+sed -i", deleted, "/^" + deleted + "\r$/d", DeleteLine},
    };
    for (const Edit& edit : edits)
        BenchEdit(edit, file, pristine);
    return 0;
}
