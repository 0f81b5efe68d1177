// tallmoor-check: the findings for a table of flawed scripts, the output
// form and exit status, and the dry run on the overlay platform, which must
// leave the disk as it was.
#include <gtest/gtest.h>

#include <sys/stat.h>

#include <filesystem>
#include <map>
#include <string>
#include <vector>

#include "check/check_output.h"
#include "check/overlay_platform.h"
#include "check/script_check.h"
#include "check/simulate.h"
#include "check/text_encoding.h"
#include "command_test_support.h"
#include "engine/runner.h"
#include "fake_platform.h"
#include "temp_dir.h"

namespace {

constexpr Severity E = Severity::Error;
constexpr Severity W = Severity::Warning;

struct Expected {
    int line;
    Severity severity;
    FindingKind kind;
    std::string contains;  // part of the text, or empty
};

struct FlawCase {
    std::string name;
    std::string script;
    std::vector<Expected> findings;  // all of them, in order
};

std::string Repeat(char c, size_t count)
{
    return std::string(count, c);
}

std::string Nested(int depth)
{
    std::string script;
    for (int i = 0; i < depth; i++)
        script += "if user = hans\r\n";
    for (int i = 0; i < depth; i++)
        script += "endif\r\n";
    return script;
}

const std::vector<FlawCase>& FlawCases()
{
    static const std::vector<FlawCase> cases = {
        {"clean",
         "; Anmeldung\r\n# auch ein Kommentar\r\n   ;eingerueckt\r\necho \"Gr\xfc\xdf" "e an alle\"\r\n"
         "if user = hans\r\n  if filepresence ! c:\\x.txt\r\n    file_copy \"c:\\a-b.txt\" d:\\x.txt\r\n  endif\r\n"
         "  exit\r\nendif\r\nif user != \"M\xfcller\"\r\nendif\r\ndrive h: \"\\\\srv\\Home Dir\"\r\nkilldrive h:\r\n"
         "----\r\n\r\nstart \"net time \\\\srv /set /yes\"\r\nquit\r\n",
         {}},
        {"unknown commands with their tokens",
         "timesync\r\necho hallo welt\r\ndrive h:\r\nshow_tmp now\r\n",
         {{1, E, FindingKind::UnknownCommand, "1-er Kommando: die Zeile ergibt 1 Token 'timesync'"},
          {2, E, FindingKind::UnknownCommand, "3 Tokens 'echo' 'hallo' 'welt'. 'echo' braucht 2 Tokens"},
          {3, E, FindingKind::UnknownCommand, "'drive' braucht 3 Tokens"},
          {4, E, FindingKind::UnknownCommand, "'show_tmp' braucht 1 Token"}}},
        {"lines dropped without a message",
         "echo eins zwei drei\r\nendif ; Ende fuer hans\r\nif user = hans\r\necho a b c d e f\r\nendif\r\n",
         {{1, E, FindingKind::DroppedLine, "Tokens: 'echo' 'eins' 'zwei' 'drei'"},
          {2, E, FindingKind::DroppedLine, "schlie\xdft keinen Block"},
          {4, E, FindingKind::UnknownCommand, "ohne Meldung"}}},
        {"separators inside a word",
         "file_copy c:\\a-b.txt d:\\ziel.txt\r\nif user = M\xfcller\r\nendif\r\necho Ende?\r\nwrite \"a\",b\r\n",
         {{1, W, FindingKind::SeparatorInWord, "'-' in 2 Worte geteilt: 'c:\\a' 'b.txt'; in Anf\xfchrungszeichen "
                                               "schreiben: \"c:\\a-b.txt\""},
          {1, E, FindingKind::DroppedLine, ""},
          {2, W, FindingKind::SeparatorInWord, "'\xfc' in 2 Worte geteilt: 'm' 'ller'"},
          {2, E, FindingKind::UnknownCommand, "\xf6" "ffnet keinen Block"},
          {3, E, FindingKind::TooManyEndif, ""},
          {4, W, FindingKind::SeparatorInWord, "f\xe4llt '?' weg, es bleibt 'ende'"},
          {5, W, FindingKind::SeparatorInWord, "In ',b'"},
          {5, E, FindingKind::UnknownCommand, ""}}},
        {"if with an unknown subject or operator",
         "if username = hans\r\nendif\r\nif user ist hans\r\nendif\r\nif user == hans\r\nendif\r\n",
         {{1, E, FindingKind::IfSubject, "'username'"}, {3, E, FindingKind::IfOperator, "'ist'"}}},
        {"if user=hans and if user <> hans",
         "if user=hans\r\nif user= hans\r\nif user <> hans\r\n",
         {{1, E, FindingKind::IfJoined, "Schreiben: 'if user = hans'"},
          {2, E, FindingKind::IfJoined, "Schreiben: 'if user = hans'"},
          {3, E, FindingKind::IfComparison, "3 Tokens 'if' 'user' 'hans'"}}},
        {"unbalanced if and endif",
         "endif\r\nif user = a\r\nif user = b\r\nendif\r\n",
         {{1, E, FindingKind::TooManyEndif, "Zu viele 'endif'"},
          {2, E, FindingKind::UnclosedIf, "1-mal zu viel 'if'"}}},
        {"nesting beyond the supported depth", Nested(31), {{30, E, FindingKind::NestingTooDeep, "29"}}},
        {"nesting at the supported depth", Nested(29), {}},
        {"a long line runs as two",
         "echo \"x\"\r\n; " + Repeat('x', 300) + "\r\nfoo\r\necho hallo" + Repeat(' ', 260) + "\r\n",
         {{2, E, FindingKind::LongLine, "302 Zeichen"},
          {2, E, FindingKind::UnknownCommand, "Rest der langen Zeile ab Zeichen 260"},
          {3, E, FindingKind::UnknownCommand, "'foo'"},
          {4, W, FindingKind::LongLine, "Leerraum"}}},
        {"a quoted text longer than a token",
         "echo \"" + Repeat('a', 300) + "\"\r\n",
         {{1, E, FindingKind::LongQuote, "300 Zeichen"},
          {1, E, FindingKind::LongLine, ""},
          {1, E, FindingKind::UnknownCommand, "Rest der langen Zeile"}}},
        {"an unclosed quote", "echo \"Hallo\r\n", {{1, W, FindingKind::UnclosedQuote, "Spalte 6"}}},
        {"lines after an unconditional exit",
         "echo \"a\"\r\nexit\r\n; Kommentar\r\necho \"b\"\r\necho \"c\"\r\n",
         {{4, W, FindingKind::Unreachable, "'exit' in Zeile 2"}}},
        {"a script saved as UTF-8",
         "echo \"Gr\xc3\xbc\xc3\x9f" "e\"\r\necho \"x\"\r\n",
         {{1, E, FindingKind::Utf8Text, "'\xc3\xbc' steht f\xfcr '\xfc'"}}},
        {"a byte-order mark before a comment",
         "\xef\xbb\xbf; Anmeldung\r\n",
         {{1, W, FindingKind::Utf8Text, "BOM"}, {1, E, FindingKind::UnknownCommand, "'anmeldung'"}}},
        {"a zero byte", std::string("echo hallo\0 welt\r\n", 18), {{1, W, FindingKind::NulByte, "Spalte 11"}}},
        {"text after a Ctrl-Z", "echo \"a\"\r\n\x1a" "foo\r\nbar\r\n", {{2, W, FindingKind::TextAfterCtrlZ, ""}}},
        {"no line feed at the end, LF line ends", "echo \"a\"\nfoo", {{2, E, FindingKind::UnknownCommand, ""}}},
    };
    return cases;
}

class ScriptCheck : public ::testing::Test {
protected:
    std::vector<Finding> Check(const std::string& script)
    {
        return CheckScript(dir.write("Logon.def", script).c_str());
    }

    FakePlatform fake;
    ScopedPlatform use{fake};
    TempDir dir;
};

TEST_F(ScriptCheck, EveryFlawGivesItsFindings)
{
    for (const FlawCase& flaw : FlawCases()) {
        const std::vector<Finding> found = Check(flaw.script);
        std::string shown;
        for (const Finding& f : found)
            shown += std::to_string(f.line) + ": " + Cp1252ToUtf8(f.text) + "\n";
        ASSERT_EQ(found.size(), flaw.findings.size()) << flaw.name << "\n" << shown;
        for (size_t i = 0; i < found.size(); i++) {
            const Expected& expected = flaw.findings[i];
            EXPECT_EQ(found[i].line, expected.line) << flaw.name << "\n" << shown;
            EXPECT_EQ(found[i].severity, expected.severity) << flaw.name << "\n" << shown;
            EXPECT_EQ(found[i].kind, expected.kind) << flaw.name << "\n" << shown;
            EXPECT_NE(found[i].text.find(expected.contains), std::string::npos)
                << flaw.name << "\n" << Cp1252ToUtf8(expected.contains) << "\n" << shown;
        }
    }
}

TEST_F(ScriptCheck, DriveTokensThatAreNoDriveLetter)
{
    const std::vector<Finding> found =
        Check("drive hx \\\\srv\\a\r\nkilldrive h\r\nkilldrive 1:\r\ndrive h:\\ \\\\srv\\a\r\ndrive \"H:\" x\r\n");
    ASSERT_EQ(found.size(), 4u);
    const std::vector<std::pair<int, Severity>> expected = {{1, W}, {2, E}, {3, E}, {4, W}};
    for (size_t i = 0; i < found.size(); i++) {
        EXPECT_EQ(found[i].kind, FindingKind::DriveToken);
        EXPECT_EQ(found[i].line, expected[i].first);
        EXPECT_EQ(found[i].severity, expected[i].second);
    }
    EXPECT_NE(found[1].text.find("killdrive meldet \"Fehler\""), std::string::npos);
}

TEST_F(ScriptCheck, UnreadableFileIsAnError)
{
    const std::vector<Finding> found = CheckScript((dir / "missing.def").c_str());
    ASSERT_EQ(found.size(), 1u);
    EXPECT_EQ(found[0].kind, FindingKind::Unreadable);
    EXPECT_EQ(ExitStatusOf(found), ExitErrors);
}

TEST_F(ScriptCheck, OutputFormAndExitStatus)
{
    const std::vector<Finding> findings = Check("echo eins zwei drei\r\necho \"Hallo\r\necho \"Hallo\r\n");
    EXPECT_EQ(FormatFindings("Logon.def", findings),
              "Logon.def:1: Fehler: 4 Tokens ohne 'if' am Anfang: die Zeile wird ohne Meldung \xc3\xbc" "bergangen. "
              "Tokens: 'echo' 'eins' 'zwei' 'drei'. 'echo' braucht 2 Tokens; den Text in Anf\xc3\xbchrungszeichen "
              "setzen\n"
              "Logon.def:2: Warnung: Das Anf\xc3\xbchrungszeichen in Spalte 6 wird nicht geschlossen: der Text reicht "
              "bis zum Zeilenende\n"
              "Logon.def:3: Warnung: Das Anf\xc3\xbchrungszeichen in Spalte 6 wird nicht geschlossen: der Text reicht "
              "bis zum Zeilenende\n"
              "1 Fehler, 2 Warnungen\n");
    EXPECT_EQ(ExitStatusOf(findings), ExitErrors);
    EXPECT_EQ(ExitStatusOf(Check("echo \"Hallo\r\n")), ExitWarnings);
    EXPECT_EQ(ExitStatusOf(Check("echo \"Hallo\"\r\n")), ExitClean);
    EXPECT_EQ(FormatFindings("a.def", {}), "0 Fehler, 0 Warnungen\n");
}

TEST(TextEncoding, Cp1252ToUtf8)
{
    EXPECT_EQ(Cp1252ToUtf8("abc"), "abc");
    EXPECT_EQ(Cp1252ToUtf8("\xfc\xdf\x80\x84\x9f"), "\xc3\xbc\xc3\x9f\xe2\x82\xac\xe2\x80\x9e\xc5\xb8");
    EXPECT_EQ(Cp1252ToUtf8("\x81"), "\xc2\x81");
}

// --- The dry run ---------------------------------------------------------------

// Every entry below a directory: kind, permissions, content or link target.
std::map<std::string, std::string> Snapshot(const std::string& root)
{
    namespace fs = std::filesystem;
    std::map<std::string, std::string> entries;
    for (const auto& entry : fs::recursive_directory_iterator(root)) {
        struct stat info;
        lstat(entry.path().c_str(), &info);
        std::string state = std::to_string(info.st_mode) + " ";
        if (entry.is_symlink())
            state += "link " + fs::read_symlink(entry.path()).string();
        else if (entry.is_regular_file()) {
            std::ifstream in(entry.path(), std::ios::binary);
            state += std::to_string(info.st_mtime) + " " + std::string(std::istreambuf_iterator<char>(in), {});
        }
        entries[entry.path().string()] = state;
    }
    return entries;
}

bool HasAction(const SimulationResult& result, const std::string& part)
{
    for (const std::string& action : result.actions)
        if (action.find(part) != std::string::npos)
            return true;
    return false;
}

std::string Quoted(const std::string& path)
{
    return "\"" + path + "\"";
}

class DryRun : public ::testing::Test {
protected:
    FakePlatform fake;
    TempDir tree;
};

TEST_F(DryRun, ReportMatchesTheRealRun)
{
    tree.write("present.txt", "x");
    const std::string path = tree.write(
        "Logon.def", "; Anmeldung\r\necho \"Guten Morgen\"\r\nif user = hans\r\necho \"Hallo Hans\"\r\nendif\r\n"
                     "if filepresence = " + Quoted(tree / "present.txt") + "\r\nfoo\r\nendif\r\nendif\r\n"
                     "if filepresence ! " + Quoted(tree / "absent.txt") + "\r\nshow_tmp\r\n");
    fake.env["TMP"] = "C:\\TEMP";

    auto context = std::make_unique<SessionContext>();
    SetUserName(*context, "hans");
    CopyBounded(context->scriptPath, path.c_str(), FieldSize);
    bool aborted = false;
    std::string real;
    {
        ScopedPlatform use(fake);
        real = RunScript(*context, aborted);
    }
    const SimulationResult simulated = SimulateScript(path, {}, fake);
    ASSERT_TRUE(simulated.ran);
    EXPECT_EQ(simulated.report, real);
    EXPECT_NE(real.find("Filepresence != "), std::string::npos);
    EXPECT_TRUE(simulated.actions.empty());
    EXPECT_EQ(&Os(), &NativePlatform());
}

TEST_F(DryRun, IdentityAndAssumedFilesFromTheOptions)
{
    const std::string assumed = tree / "assumed.txt";
    const std::string path = tree.write(
        "Logon.def", "if user = fritz\r\necho \"fritz\"\r\nendif\r\nif computername = pc7\r\necho \"pc7\"\r\nendif\r\n"
                     "if macaddress = 0011223344aa\r\necho \"mac\"\r\nendif\r\n"
                     "if filepresence = " + Quoted(assumed) + "\r\nendif\r\n");
    SimulationOptions options;
    options.user = "Fritz";
    options.computer = "PC7";
    options.mac = "00-11-22-33-44-AA";
    options.existing = {assumed};
    const SimulationResult result = SimulateScript(path, options, fake);
    ASSERT_TRUE(result.ran);
    for (const char* part : {"Computer: PC7\r\n", "Username: Fritz\r\n", "MacAddress: 0011223344AA\r\n",
                             "fritz\r\npc7\r\nmac\r\n", "Filepresence = "})
        EXPECT_NE(result.report.find(part), std::string::npos) << part;
    EXPECT_FALSE(std::filesystem::exists(assumed));

    options.mac = "0011";
    EXPECT_FALSE(SimulateScript(path, options, fake).ran);
    EXPECT_FALSE(SimulateScript(tree / "missing.def", {}, fake).ran);
}

TEST_F(DryRun, CommandsChangeNothingOnDisk)
{
    std::filesystem::create_directories(tree / "drives/c");
    std::filesystem::create_directories(tree / "unc/srv/share");
    std::filesystem::create_directories(tree / "prog");
    ScopedEnv unc{"TALLMOOR_UNC_ROOT", (tree / "unc").c_str()};
    ScopedEnv drives{"TALLMOOR_DRIVES", (tree / "drives").c_str()};
    const std::string source = tree.write("data/source.txt", "neuer Inhalt\r\n");
    const std::string target = tree.write("data/target.txt", "alt");
    chmod(target.c_str(), 0444);
    const std::string doomed = tree.write("data/doomed.txt", "weg damit");
    const std::string edited = tree.write("data/edit.ini", "[a]\r\nALT=0\r\nb=1\r\n");
    const std::string copy = tree / "data/copy.txt";
    tree.write("prog/tallmoor.exe", "alte Version");
    tree.write("logon/tallmoor.exe", "neue Version");
    tree.write("logon/update.bat", "rem");
    tree.write("logon/setup.exe", "setup");
    fake.env["COMSPEC"] = tree.write("cmd.exe", "cmd");
    const std::string path = tree.write(
        "logon/Logon.def",
        "file_copy " + Quoted(source) + " " + Quoted(copy) + "\r\n" +
            "if filepresence = " + Quoted(copy) + "\r\necho \"kopie da\"\r\nendif\r\n" +
            "file_copy " + Quoted(source) + " " + Quoted(target) + "\r\n" +
            "file_delete " + Quoted(doomed) + "\r\n" +
            "cmd_insert " + Quoted(edited) + " \"NEU=1\"\r\n" +
            "cmd_delete " + Quoted(edited) + " \"alt=0\"\r\n" +
            "drive x: \\\\srv\\share\r\nkilldrive x:\r\ndrive y: \\\\srv\\share\r\ndrive y: \\\\srv\\share\r\n"
            "start \"echo hallo\"\r\nrunonce setup.exe\r\nrunonce setup.exe\r\n"
            "selfupdate update.bat\r\necho \"nie\"\r\n");
    const auto before = Snapshot(tree.path);

    SimulationOptions options;
    options.exeDir = tree / "prog";
    const SimulationResult result = SimulateScript(path, options, fake);

    EXPECT_EQ(Snapshot(tree.path), before);
    ASSERT_TRUE(result.ran);
    EXPECT_TRUE(result.aborted);
    const std::string& report = result.report;
    for (const std::string& part :
         {copy + "  kopiert\r\nFilepresence = " + copy + "\r\nkopie da\r\n", target + "  kopiert\r\n", doomed + "  erledigt.\r\n",
          std::string("NEU=1  aktualisiert.\r\n"), std::string("alt=0  ausgef\xfchrt\r\n"),
          std::string("drive x: \\\\srv\\share \r\nkilldrive x: \r\ndrive y: \\\\srv\\share \r\n"),
          std::string("drive y: \\\\srv\\share  <-- Nicht ausgef\xfchrt!\r\n"), std::string("start echo hallo \r\n"),
          std::string("runonce setup.exe  ausgef\xfchrt\r\nrunonce setup.exe  unn\xf6tig.\r\n"),
          std::string("Shutdown\r\n")})
        EXPECT_NE(report.find(part), std::string::npos) << Cp1252ToUtf8(part) << "\n" << Cp1252ToUtf8(report);
    EXPECT_EQ(report.find("nie"), std::string::npos);

    for (const std::string& part :
         {"Datei angelegt: " + copy + " (14 Bytes), Kopie von " + source,
          "Datei ge\xe4ndert: " + target + " (14 Bytes), Kopie von " + source + ", Schreibschutz entfernt",
          "Datei gel\xf6scht: " + doomed, "Datei ge\xe4ndert: " + edited, "Datei angelegt: " + tree / "data/edit.000",
          "Datei angelegt: " + tree / "data/edit.001", std::string("Laufwerk verbunden: x: -> \\\\srv\\share"),
          std::string("Laufwerk getrennt: x:"), std::string("Laufwerk verbunden: y: -> \\\\srv\\share"),
          "Programm gestartet: " + fake.env["COMSPEC"] + " /c echo hallo", std::string("setup.exe"),
          std::string("tallmoor.run"), std::string("Tallmoor.log"), std::string("ohne zu warten"),
          std::string("Selbst-Update")})
        EXPECT_TRUE(HasAction(result, part)) << Cp1252ToUtf8(part) << "\n" << Cp1252ToUtf8(FormatSimulation(result));
}

// The overlay on its own: what is written is read back, what is deleted is
// gone, and the real files stay as they are.
TEST_F(DryRun, OverlayKeepsChangesInMemory)
{
    const std::string real = tree.write("real.txt", "real");
    const std::string locked = tree.write("locked.txt", "locked");
    chmod(locked.c_str(), 0444);
    const auto before = Snapshot(tree.path);
    OverlayPlatform overlay(fake);

    const std::string made = tree / "made.txt";
    std::unique_ptr<File> out = overlay.openFile(made.c_str(), OpenMode::Write);
    ASSERT_TRUE(out);
    EXPECT_EQ(out->write("hallo", 5), 5u);
    EXPECT_FALSE(overlay.openFile(made.c_str(), OpenMode::CreateNew));
    char buffer[16] = {0};
    EXPECT_EQ(overlay.openFile(made.c_str(), OpenMode::Read)->read(buffer, sizeof buffer), 5u);
    EXPECT_STREQ(buffer, "hallo");
    FileIdentity a, b;
    EXPECT_TRUE(overlay.identity(made.c_str(), a) && overlay.identity(made.c_str(), b));
    EXPECT_EQ(a.index, b.index);

    EXPECT_TRUE(overlay.removeFile(real.c_str()));
    FileAttributes attributes;
    EXPECT_EQ(overlay.attributes(real.c_str(), attributes), FsStatus::NotFound);
    EXPECT_FALSE(overlay.openFile(real.c_str(), OpenMode::Read));

    EXPECT_FALSE(overlay.openFile(locked.c_str(), OpenMode::Write));
    EXPECT_FALSE(overlay.removeFile(locked.c_str()));
    EXPECT_TRUE(overlay.setReadOnly(locked.c_str(), false));
    EXPECT_TRUE(overlay.replaceFile(made.c_str(), locked.c_str()));
    EXPECT_EQ(overlay.attributes(made.c_str(), attributes), FsStatus::NotFound);
    std::memset(buffer, 0, sizeof buffer);
    overlay.openFile(locked.c_str(), OpenMode::Read)->read(buffer, sizeof buffer);
    EXPECT_STREQ(buffer, "hallo");

    EXPECT_FALSE(overlay.openFile((tree / "no/such/dir.txt").c_str(), OpenMode::Write));
    EXPECT_EQ(overlay.addConnection("h:", "\\\\srv\\a"), 0);
    EXPECT_NE(overlay.addConnection("H:", "\\\\srv\\b"), 0);
    char remote[64];
    EXPECT_EQ(overlay.getConnection("h:", remote, sizeof remote), 0);
    EXPECT_STREQ(remote, "\\\\srv\\a");
    EXPECT_EQ(overlay.cancelConnection("h:", true), 0);
    EXPECT_NE(overlay.getConnection("h:", remote, sizeof remote), 0);
    EXPECT_EQ(overlay.startProcess("x.exe", "x.exe /y", true), 0);

    EXPECT_EQ(Snapshot(tree.path), before);
    EXPECT_EQ(overlay.actions(),
              (std::vector<std::string>{"Datei gel\xf6scht: " + real, "Datei ge\xe4ndert: " + locked + " (5 Bytes), Schreibschutz entfernt",
                                        "Laufwerk verbunden: h: -> \\\\srv\\a", "Laufwerk getrennt: h:",
                                        "Programm gestartet: x.exe /y"}));
}

}  // namespace
