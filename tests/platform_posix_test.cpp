// The POSIX platform layer: mapping of Windows paths and the file services
// behind the interface, in a temporary tree that stands for the drives and
// the servers.
#include <gtest/gtest.h>

#include <sys/stat.h>
#include <sys/time.h>
#include <sys/utsname.h>
#include <unistd.h>

#include <cstdlib>
#include <cstring>
#include <ctime>
#include <filesystem>
#include <fstream>
#include <string>

#include "platform/platform.h"
#include "platform/posix/path_map.h"
#include "temp_dir.h"

namespace {

// A temporary tree with "unc" as the server root and "drives" as the
// drive root.
class PosixTree : public ::testing::Test {
protected:
    void SetUp() override
    {
        char pattern[] = "/tmp/tallmoor-posix-XXXXXX";
        ASSERT_NE(mkdtemp(pattern), nullptr);
        root = pattern;
        unc = root + "/unc";
        drives = root + "/drives";
        std::filesystem::create_directories(unc);
        std::filesystem::create_directories(drives + "/c");
        uncVariable = std::make_unique<ScopedEnv>("TALLMOOR_UNC_ROOT", unc.c_str());
        drivesVariable = std::make_unique<ScopedEnv>("TALLMOOR_DRIVES", drives.c_str());
    }
    void TearDown() override { std::filesystem::remove_all(root); }

    void writeFile(const std::string& posixPath, const std::string& content)
    {
        std::filesystem::create_directories(std::filesystem::path(posixPath).parent_path());
        std::ofstream(posixPath, std::ios::binary) << content;
    }

    std::string readFile(const std::string& posixPath)
    {
        std::ifstream in(posixPath, std::ios::binary);
        return std::string(std::istreambuf_iterator<char>(in), {});
    }

    static std::string Mapped(const char* windowsPath)
    {
        std::string out;
        EXPECT_TRUE(MapWindowsPath(windowsPath, out)) << windowsPath;
        return out;
    }

    std::string root, unc, drives;
    std::unique_ptr<ScopedEnv> uncVariable, drivesVariable;
};

using PosixPathMap = PosixTree;

TEST_F(PosixPathMap, MapsPrefixesAndSeparators)
{
    struct Case {
        const char* windows;
        std::string posix;
    } cases[] = {
        {"\\\\server\\share\\dir\\file.txt", unc + "/server/share/dir/file.txt"},
        {"\\\\server", unc + "/server"},
        {"c:\\boot.ini", drives + "/c/boot.ini"},
        {"X:\\Some\\File.txt", drives + "/x/Some/File.txt"},
        {"d:file.txt", drives + "/d/file.txt"},
        {"c:/mixed\\seps/x", drives + "/c/mixed/seps/x"},
        {"c:", drives + "/c"},
        {"c:\\", drives + "/c/"},
        {"\\no-such-root\\Tm\\tallmoor", "/no-such-root/Tm/tallmoor"},
        {"/no-such-root/Tm/tallmoor", "/no-such-root/Tm/tallmoor"},
        {"relative\\Name.txt", "relative/Name.txt"},
        {"name.txt", "name.txt"},
        {"a\\\\b\\", "a/b/"},
    };
    for (const Case& c : cases)
        EXPECT_EQ(Mapped(c.windows), c.posix) << c.windows;

    std::string out;
    EXPECT_FALSE(MapWindowsPath(nullptr, out));
    EXPECT_FALSE(MapWindowsPath("", out));
}

TEST_F(PosixPathMap, DefaultsWhenVariablesAreUnsetOrEmpty)
{
    ScopedEnv home("HOME", "/no-such-home");
    for (const char* value : {static_cast<const char*>(nullptr), ""}) {
        ScopedEnv drivesUnset("TALLMOOR_DRIVES", value);
        ScopedEnv uncUnset("TALLMOOR_UNC_ROOT", value);
        EXPECT_EQ(Mapped("c:\\x"), "/no-such-home/.local/share/tallmoor/drives/c/x");
        EXPECT_EQ(Mapped("\\\\no-such-server\\share"), "/mnt/no-such-server/share");
    }
}

TEST_F(PosixPathMap, ReadsVariablesAtEveryCall)
{
    EXPECT_EQ(Mapped("c:\\x"), drives + "/c/x");
    ScopedEnv other("TALLMOOR_DRIVES", "/elsewhere/");
    EXPECT_EQ(Mapped("c:\\x"), "/elsewhere/c/x");
}

TEST_F(PosixPathMap, FindsExistingNamesIgnoringCaseOfAtoZ)
{
    writeFile(drives + "/c/Program Files/TallMoor.DAT", "x");
    writeFile(unc + "/Server/Logon/Logon.def", "x");
    writeFile(drives + "/c/\xc4rger", "x");  // Windows-1252 A umlaut
    writeFile(drives + "/c/Same", "x");
    writeFile(drives + "/c/same", "x");
    writeFile(drives + "/c/file", "x");

    struct Case {
        const char* windows;
        std::string posix;
    } cases[] = {
        {"c:\\program files\\tallmoor.dat", drives + "/c/Program Files/TallMoor.DAT"},
        {"C:\\PROGRAM FILES\\", drives + "/c/Program Files/"},
        {"\\\\server\\logon\\logon.def", unc + "/Server/Logon/Logon.def"},
        // Missing components are kept as given, below an existing one too.
        {"c:\\program files\\New.txt", drives + "/c/Program Files/New.txt"},
        {"c:\\program files\\Missing\\Deeper.txt", drives + "/c/Program Files/Missing/Deeper.txt"},
        // Only A-Z are folded, not umlauts.
        {"c:\\\xe4rger", drives + "/c/\xe4rger"},
        // The exact name wins; among folded matches the smallest byte order.
        {"c:\\same", drives + "/c/same"},
        {"c:\\SAME", drives + "/c/Same"},
        // A file cannot have components below it.
        {"c:\\FILE\\x", drives + "/c/file/x"},
        {"c:\\program files\\..\\FILE", drives + "/c/Program Files/../file"},
    };
    for (const Case& c : cases)
        EXPECT_EQ(Mapped(c.windows), c.posix) << c.windows;
}

TEST_F(PosixPathMap, FoldsRelativePathsInTheCurrentDirectory)
{
    writeFile(root + "/Work/Logon.def", "x");
    const auto previous = std::filesystem::current_path();
    std::filesystem::current_path(root);
    EXPECT_EQ(Mapped("work\\logon.def"), "Work/Logon.def");
    std::filesystem::current_path(previous);
}

// --- File services --------------------------------------------------------

class PosixPlatformFiles : public PosixTree {
protected:
    void SetUp() override
    {
        PosixTree::SetUp();
        std::filesystem::create_directories(drives + "/c/data");
    }

    std::string write(const char* path, OpenMode mode, const std::string& text)
    {
        auto file = os.openFile(path, mode);
        if (!file)
            return "<not opened>";
        EXPECT_EQ(file->write(text.data(), text.size()), text.size());
        EXPECT_TRUE(file->close());
        return readFile(Mapped(path));
    }

    Platform& os = NativePlatform();
};

TEST_F(PosixPlatformFiles, OpenModes)
{
    const char* path = "c:\\data\\f.txt";
    EXPECT_EQ(os.openFile(path, OpenMode::Read), nullptr);
    EXPECT_EQ(write(path, OpenMode::Append, "one"), "one");  // created
    EXPECT_EQ(write(path, OpenMode::Append, "+two"), "one+two");
    EXPECT_EQ(write(path, OpenMode::Write, "new"), "new");  // truncated
    EXPECT_EQ(write(path, OpenMode::CreateNew, "x"), "<not opened>");
    EXPECT_EQ(write("c:\\data\\fresh.txt", OpenMode::CreateNew, "fresh"), "fresh");
    EXPECT_EQ(os.openFile("c:\\missing\\f.txt", OpenMode::Write), nullptr);

    auto file = os.openFile("C:\\DATA\\F.TXT", OpenMode::Read);
    ASSERT_NE(file, nullptr);
    char buffer[16] = {0};
    EXPECT_EQ(file->read(buffer, sizeof buffer), 3u);  // short read at the end
    EXPECT_STREQ(buffer, "new");
    EXPECT_EQ(file->seekEnd(), 3);
    EXPECT_TRUE(file->flush());
}

TEST_F(PosixPlatformFiles, DirectoriesDoNotOpenAsFiles)
{
    for (OpenMode mode : {OpenMode::Read, OpenMode::Write, OpenMode::Append})
        EXPECT_EQ(os.openFile("c:\\data", mode), nullptr);
}

TEST_F(PosixPlatformFiles, AttributesAndReadOnly)
{
    writeFile(drives + "/c/data/f.txt", "abc");
    FileAttributes attributes;
    EXPECT_EQ(os.attributes("c:\\data\\missing", attributes), FsStatus::NotFound);
    EXPECT_EQ(os.attributes("c:\\nodir\\missing", attributes), FsStatus::NotFound);
    EXPECT_EQ(os.attributes("c:\\data\\f.txt\\below", attributes), FsStatus::NotFound);
    ASSERT_EQ(os.attributes("c:\\data", attributes), FsStatus::Ok);
    EXPECT_TRUE(attributes.directory);
    ASSERT_EQ(os.attributes("c:\\data\\F.TXT", attributes), FsStatus::Ok);
    EXPECT_FALSE(attributes.directory);
    EXPECT_FALSE(attributes.readOnly);

    // Read-only binds everyone, the superuser included.
    ASSERT_TRUE(os.setReadOnly("c:\\data\\f.txt", true));
    ASSERT_EQ(os.attributes("c:\\data\\f.txt", attributes), FsStatus::Ok);
    EXPECT_TRUE(attributes.readOnly);
    EXPECT_EQ(os.openFile("c:\\data\\f.txt", OpenMode::Write), nullptr);
    EXPECT_EQ(os.openFile("c:\\data\\f.txt", OpenMode::Append), nullptr);
    EXPECT_NE(os.openFile("c:\\data\\f.txt", OpenMode::Read), nullptr);
    EXPECT_FALSE(os.removeFile("c:\\data\\f.txt"));
    EXPECT_EQ(readFile(drives + "/c/data/f.txt"), "abc");

    ASSERT_TRUE(os.setReadOnly("c:\\data\\f.txt", false));
    ASSERT_EQ(os.attributes("c:\\data\\f.txt", attributes), FsStatus::Ok);
    EXPECT_FALSE(attributes.readOnly);
    EXPECT_TRUE(os.removeFile("c:\\data\\f.txt"));
    EXPECT_EQ(os.attributes("c:\\data\\f.txt", attributes), FsStatus::NotFound);
    EXPECT_FALSE(os.removeFile("c:\\data\\f.txt"));
    EXPECT_FALSE(os.removeFile("c:\\data"));  // never a directory
    EXPECT_FALSE(os.setReadOnly("c:\\data\\f.txt", true));
}

TEST_F(PosixPlatformFiles, AccessDeniedBelowAClosedDirectory)
{
    if (geteuid() == 0)
        GTEST_SKIP() << "the superuser passes every permission check";
    writeFile(drives + "/c/closed/f.txt", "x");
    chmod((drives + "/c/closed").c_str(), 0);
    FileAttributes attributes;
    EXPECT_EQ(os.attributes("c:\\closed\\f.txt", attributes), FsStatus::AccessDenied);
    chmod((drives + "/c/closed").c_str(), 0700);
}

TEST_F(PosixPlatformFiles, ReplaceFile)
{
    writeFile(drives + "/c/data/new.tmp", "new");
    writeFile(drives + "/c/data/target.txt", "old");
    ASSERT_TRUE(os.replaceFile("c:\\data\\new.tmp", "c:\\data\\Target.txt"));
    EXPECT_EQ(readFile(drives + "/c/data/target.txt"), "new");
    EXPECT_FALSE(std::filesystem::exists(drives + "/c/data/new.tmp"));

    EXPECT_FALSE(os.replaceFile("c:\\data\\new.tmp", "c:\\data\\target.txt"));  // source gone
    EXPECT_EQ(readFile(drives + "/c/data/target.txt"), "new");

    writeFile(drives + "/c/data/other.tmp", "other");
    ASSERT_TRUE(os.setReadOnly("c:\\data\\target.txt", true));
    EXPECT_FALSE(os.replaceFile("c:\\data\\other.tmp", "c:\\data\\target.txt"));
    EXPECT_EQ(readFile(drives + "/c/data/target.txt"), "new");
    EXPECT_EQ(readFile(drives + "/c/data/other.tmp"), "other");

    // Into a place that did not exist yet.
    EXPECT_TRUE(os.replaceFile("c:\\data\\other.tmp", "c:\\data\\Created.txt"));
    EXPECT_EQ(readFile(drives + "/c/data/Created.txt"), "other");
}

TEST_F(PosixPlatformFiles, IdentityIndependentOfTheName)
{
    writeFile(drives + "/c/data/f.txt", "abc");
    writeFile(drives + "/c/data/g.txt", "abc");
    std::filesystem::create_hard_link(drives + "/c/data/f.txt", drives + "/c/data/link.txt");
    FileIdentity f, spelling, posix, link, other;
    ASSERT_TRUE(os.identity("c:\\data\\f.txt", f));
    ASSERT_TRUE(os.identity("C:\\Data\\F.TXT", spelling));
    ASSERT_TRUE(os.identity((drives + "/c/data/f.txt").c_str(), posix));
    ASSERT_TRUE(os.identity("c:\\data\\link.txt", link));
    ASSERT_TRUE(os.identity("c:\\data\\g.txt", other));
    for (const FileIdentity& same : {spelling, posix, link}) {
        EXPECT_EQ(same.volume, f.volume);
        EXPECT_EQ(same.index, f.index);
    }
    EXPECT_NE(other.index, f.index);
    EXPECT_FALSE(os.identity("c:\\data\\missing", other));
}

TEST_F(PosixPlatformFiles, FindFileReportsSizeAndLocalLastWrite)
{
    writeFile(drives + "/c/data/setup.exe", std::string(1234, 'x'));
    struct tm parts {};
    parts.tm_year = 2008 - 1900;
    parts.tm_mon = 6;
    parts.tm_mday = 26;
    parts.tm_hour = 10;
    parts.tm_min = 57;
    parts.tm_sec = 51;
    parts.tm_isdst = -1;
    const timeval times[2] = {{mktime(&parts), 0}, {mktime(&parts), 0}};
    ASSERT_EQ(utimes((drives + "/c/data/setup.exe").c_str(), times), 0);

    FoundFile found;
    ASSERT_TRUE(os.findFile("c:\\data\\SETUP.EXE", found));
    EXPECT_EQ(found.size, 1234);
    EXPECT_EQ(found.lastWrite.year, 2008);
    EXPECT_EQ(found.lastWrite.month, 7);
    EXPECT_EQ(found.lastWrite.day, 26);
    EXPECT_EQ(found.lastWrite.hour, 10);
    EXPECT_EQ(found.lastWrite.minute, 57);
    EXPECT_EQ(found.lastWrite.second, 51);  // full seconds here

    EXPECT_FALSE(os.findFile("c:\\data", found));
    EXPECT_FALSE(os.findFile("c:\\data\\missing.exe", found));
}

TEST_F(PosixPlatformFiles, DriveRoots)
{
    struct Case {
        const char* path;
        bool root;
    } cases[] = {
        {"c:\\", true},  {"C:\\", true},       {"c:/", true},
        {"d:\\", false}, {"c:", false},        {"c:\\data", false},
        {"1:\\", false}, {"\\\\srv\\", false}, {"", false},
    };
    for (const Case& c : cases)
        EXPECT_EQ(os.isDriveRoot(c.path), c.root) << c.path;
    EXPECT_FALSE(os.isDriveRoot(nullptr));
}

TEST_F(PosixPlatformFiles, ShortPathIsThePathItself)
{
    char out[8];
    ASSERT_TRUE(os.shortPath("c:\\a.b", out, sizeof out));
    EXPECT_STREQ(out, "c:\\a.b");
    EXPECT_FALSE(os.shortPath("c:\\abcde", out, sizeof out));  // 8 + terminator
}

TEST_F(PosixPlatformFiles, ProgramPathRoundTrip)
{
    char program[4096];
    const ssize_t length = readlink("/proc/self/exe", program, sizeof program - 1);
    ASSERT_GT(length, 0);
    program[length] = '\0';
    const std::string posixProgram = program;

    char windows[264];
    ASSERT_TRUE(os.programPath(windows, sizeof windows));
    EXPECT_EQ(windows[0], '\\');
    EXPECT_EQ(std::strchr(windows, '/'), nullptr);
    EXPECT_EQ(Mapped(windows), posixProgram);

    // The program directory is cut at the last backslash; files beside the
    // program are reached from it.
    *std::strrchr(windows, '\\') = '\0';
    const std::string directory = posixProgram.substr(0, posixProgram.rfind('/'));
    EXPECT_EQ(Mapped(windows), directory);
    EXPECT_EQ(Mapped((std::string(windows) + "\\No-Such-File.dat").c_str()),
              directory + "/No-Such-File.dat");

    EXPECT_FALSE(os.programPath(windows, static_cast<size_t>(length)));  // no room for the terminator
}

// --- Machine and environment ----------------------------------------------

TEST(PosixPlatformMachine, Names)
{
    Platform& os = NativePlatform();
    char name[256];
    ASSERT_TRUE(os.userName(name, sizeof name));
    EXPECT_STRNE(name, "");
    EXPECT_FALSE(os.userName(name, 1));
    ASSERT_TRUE(os.computerName(name, sizeof name));
    EXPECT_STRNE(name, "");
    EXPECT_EQ(std::strchr(name, '.'), nullptr);
    EXPECT_FALSE(os.computerName(name, 1));
}

TEST(PosixPlatformMachine, AdapterStepsAgreeAndWriteOnlyTheAddress)
{
    Platform& os = NativePlatform();
    uint8_t list[256];
    std::memset(list, 0xEE, sizeof list);
    const bool found = os.adapterEnum(list, sizeof list);
    EXPECT_EQ(list[0], found ? 1 : 0);
    EXPECT_EQ(os.adapterReset(list[1]), found);

    uint8_t status[600];
    std::memset(status, 0xAA, sizeof status);
    EXPECT_EQ(os.adapterStatus(0, status, sizeof status), found);
    for (size_t i = found ? 6 : 0; i < sizeof status; ++i)
        ASSERT_EQ(status[i], 0xAA) << i;
    EXPECT_FALSE(os.adapterStatus(1, status, sizeof status));
    EXPECT_FALSE(os.adapterReset(1));
}

TEST(PosixPlatformMachine, VersionFromTheKernelRelease)
{
    utsname system;
    ASSERT_EQ(uname(&system), 0);
    VersionInfo info;
    ASSERT_TRUE(NativePlatform().versionInfo(info));
    EXPECT_EQ(info.platformId, PlatformPosix);
    EXPECT_EQ(info.major, std::strtoul(system.release, nullptr, 10));
    EXPECT_STREQ(info.systemText, system.sysname);
    EXPECT_EQ(std::strncmp(info.csdVersion, system.release, sizeof info.csdVersion - 1), 0);
}

TEST(PosixPlatformMachine, EnvironmentCopiesCutAndAnswersFullLength)
{
    Platform& os = NativePlatform();
    ScopedEnv set("TALLMOOR_TEST_VARIABLE", "C:\\TEMP");
    ScopedEnv empty("TALLMOOR_TEST_EMPTY", "");
    ScopedEnv unset("TALLMOOR_TEST_UNSET", nullptr);
    char out[5];
    EXPECT_EQ(os.environment("TALLMOOR_TEST_VARIABLE", out, sizeof out), 7);
    EXPECT_STREQ(out, "C:\\T");
    EXPECT_EQ(os.environment("TALLMOOR_TEST_EMPTY", out, sizeof out), 0);
    EXPECT_STREQ(out, "");
    EXPECT_EQ(os.environment("TALLMOOR_TEST_UNSET", out, sizeof out), -1);
}

}  // namespace
