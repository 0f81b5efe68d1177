// The Win32 platform layer on the real system (run under Wine in CI). Where
// Wine answers differently from Windows, the Wine answer is checked only
// when the tests run under Wine.
#include <gtest/gtest.h>

#include <windows.h>

#include <cstring>
#include <string>

#include "platform/platform.h"
#include "platform/win32/dll_search.h"
#include "platform/win32/win32_errors.h"
#include "temp_dir.h"

namespace {

bool UnderWine()
{
    const HMODULE ntdll = GetModuleHandleA("ntdll.dll");
    return ntdll && GetProcAddress(ntdll, "wine_get_version");
}

std::string SystemFile(const char* name)
{
    char directory[MAX_PATH];
    const UINT length = GetSystemDirectoryA(directory, sizeof directory);
    return std::string(directory, length) + "\\" + name;
}

std::string ReadAll(File& file)
{
    std::string text;
    char chunk[64];
    size_t got;
    while ((got = file.read(chunk, sizeof chunk)) > 0)
        text.append(chunk, got);
    return text;
}

bool WriteText(const char* path, OpenMode mode, const std::string& text)
{
    auto file = Os().openFile(path, mode);
    return file && file->write(text.data(), text.size()) == text.size() && file->close();
}

std::string ReadText(const char* path)
{
    auto file = Os().openFile(path, OpenMode::Read);
    return file ? ReadAll(*file) : "<cannot open>";
}

// The attributes without the archive bit, which Wine sets on every file.
DWORD RawAttributes(const std::string& path)
{
    return GetFileAttributesA(path.c_str()) & ~DWORD(FILE_ATTRIBUTE_ARCHIVE);
}

TEST(Win32Errors, DeniedLockedAndMissingAreTold)
{
    for (unsigned long error : {5, 16, 32, 33, 65, 82, 83, 108, 132, 158, 167})
        EXPECT_EQ(StatusOfWin32Error(error), FsStatus::AccessDenied) << error;
    for (unsigned long error : {2, 3, 15, 53, 67, 123, 161, 206})
        EXPECT_EQ(StatusOfWin32Error(error), FsStatus::NotFound) << error;
    for (unsigned long error : {0, 1, 6, 87, 112})
        EXPECT_EQ(StatusOfWin32Error(error), FsStatus::Failed) << error;
}

TEST(Win32Platform, MachineFacts)
{
    VersionInfo version;
    ASSERT_TRUE(Os().versionInfo(version));
    EXPECT_EQ(version.platformId, 2u);  // VER_PLATFORM_WIN32_NT
    if (UnderWine()) {
        EXPECT_EQ(version.major, 6u);
        EXPECT_EQ(version.minor, 1u);
        EXPECT_EQ(version.build & 0xFFFF, 7601u);
        EXPECT_STREQ(version.csdVersion, "Service Pack 1");
    }

    char name[256];
    ASSERT_TRUE(Os().userName(name, sizeof name));
    EXPECT_GT(std::strlen(name), 0u);
    ASSERT_TRUE(Os().computerName(name, sizeof name));
    EXPECT_GT(std::strlen(name), 0u);
    char tiny[1];
    EXPECT_FALSE(Os().computerName(tiny, sizeof tiny));

    LocalTime now;
    Os().localTime(now);
    EXPECT_GE(now.year, 2000);
    EXPECT_TRUE(now.month >= 1 && now.month <= 12);
    EXPECT_TRUE(now.day >= 1 && now.day <= 31);
}

TEST(Win32Platform, NetbiosGivesTheFirstAdapterAddress)
{
    uint8_t list[256] = {0};
    ASSERT_TRUE(Os().adapterEnum(list, sizeof list));
    ASSERT_GE(list[0], 1);
    const uint8_t adapter = list[1];
    EXPECT_TRUE(Os().adapterReset(adapter));
    uint8_t status[600] = {0};
    ASSERT_TRUE(Os().adapterStatus(adapter, status, sizeof status));
    static const uint8_t zero[6] = {0};
    EXPECT_NE(std::memcmp(status, zero, 6), 0);

    // A smaller buffer is never written beyond its size.
    uint8_t small[16];
    std::memset(small, 0xAB, sizeof small);
    Os().adapterStatus(adapter, small, 8);
    for (size_t i = 8; i < sizeof small; i++)
        EXPECT_EQ(small[i], 0xAB) << i;
}

TEST(Win32Platform, ConnectionsFailWithoutANetwork)
{
    const int added = Os().addConnection("y:", "\\\\tallmoor-nowhere\\share");
    EXPECT_NE(added, 0);
    char remote[260];
    EXPECT_NE(Os().getConnection("y:", remote, sizeof remote), 0);
    EXPECT_NE(Os().cancelConnection("y:", true), 0);
    if (UnderWine()) {
        EXPECT_EQ(added, 1222);  // ERROR_NO_NETWORK
    }
}

TEST(Win32Platform, EnvironmentTellsUnsetFromEmpty)
{
    char value[8] = "old";
    SetEnvironmentVariableA("TALLMOOR_TEST_VALUE", nullptr);
    EXPECT_EQ(Os().environment("TALLMOOR_TEST_VALUE", value, sizeof value), -1);

    SetEnvironmentVariableA("TALLMOOR_TEST_VALUE", "");
    EXPECT_EQ(Os().environment("TALLMOOR_TEST_VALUE", value, sizeof value), 0);
    EXPECT_STREQ(value, "");

    const std::string longValue(1000, 'v');
    SetEnvironmentVariableA("TALLMOOR_TEST_VALUE", longValue.c_str());
    EXPECT_EQ(Os().environment("TALLMOOR_TEST_VALUE", value, sizeof value), 1000);
    EXPECT_STREQ(value, "vvvvvvv");  // cut to the buffer, terminated
    EXPECT_EQ(Os().environment("TALLMOOR_TEST_VALUE", nullptr, 0), 1000);
    SetEnvironmentVariableA("TALLMOOR_TEST_VALUE", nullptr);
}

TEST(Win32Platform, ProgramPathAndShortPath)
{
    char path[MAX_PATH];
    ASSERT_TRUE(Os().programPath(path, sizeof path));
    const std::string program = path;
    ASSERT_GT(program.size(), 18u);
    EXPECT_EQ(_stricmp(program.substr(program.size() - 18).c_str(), "tallmoor_tests.exe"), 0);
    char tiny[4];
    EXPECT_FALSE(Os().programPath(tiny, sizeof tiny));

    TempDir dir;
    const std::string longName = dir.write("a long name.text", "x");
    char shortName[MAX_PATH];
    ASSERT_TRUE(Os().shortPath(longName.c_str(), shortName, sizeof shortName));
    FileIdentity viaLong, viaShort;
    ASSERT_TRUE(Os().identity(longName.c_str(), viaLong));
    ASSERT_TRUE(Os().identity(shortName, viaShort));
    EXPECT_EQ(viaLong.volume, viaShort.volume);
    EXPECT_EQ(viaLong.index, viaShort.index);
    if (UnderWine()) {
        EXPECT_NE(std::strchr(shortName, '~'), nullptr) << shortName;
    }
    EXPECT_FALSE(Os().shortPath(longName.c_str(), shortName, 5));
    EXPECT_STREQ(shortName, "");

    // A path without a file has no short form: it comes back as it is.
    const std::string missing = dir / "no such file.text";
    ASSERT_TRUE(Os().shortPath(missing.c_str(), shortName, sizeof shortName));
    EXPECT_EQ(shortName, missing);
}

TEST(Win32Platform, StartProcessWaitsForTheExitCode)
{
    const std::string cmd = SystemFile("cmd.exe");
    EXPECT_EQ(Os().startProcess(cmd.c_str(), (cmd + " /c exit 3").c_str(), true), 3);
    EXPECT_EQ(Os().startProcess(cmd.c_str(), (cmd + " /c exit 0").c_str(), false), 0);
    TempDir dir;
    EXPECT_EQ(Os().startProcess((dir / "missing.exe").c_str(), "missing.exe", true), -1);
}

// The command line stays unquoted; the program is still the one named, not
// what Windows would read from the first blank-separated words.
TEST(Win32Platform, StartProcessRunsAProgramWhosePathHasBlanks)
{
    TempDir dir;
    const std::string program = dir / "dir with blanks\\tool.exe";
    CreateDirectoryA((dir / "dir with blanks").c_str(), nullptr);
    ASSERT_TRUE(CopyFileA(SystemFile("cmd.exe").c_str(), program.c_str(), TRUE));
    // The program that the first word of the command line names: a command
    // processor that would not know the command "with".
    ASSERT_TRUE(CopyFileA(SystemFile("cmd.exe").c_str(), (dir / "dir.exe").c_str(), TRUE));
    EXPECT_EQ(Os().startProcess(program.c_str(), (program + " /c exit 5").c_str(), true), 5);
}

class Win32Files : public ::testing::Test {
protected:
    TempDir dir;
    std::string path(const char* name) const { return dir / name; }
};

TEST_F(Win32Files, OpenModes)
{
    const std::string file = path("f.txt");
    EXPECT_EQ(Os().openFile(file.c_str(), OpenMode::Read), nullptr);
    ASSERT_TRUE(WriteText(file.c_str(), OpenMode::Write, "hello"));
    ASSERT_TRUE(WriteText(file.c_str(), OpenMode::Append, " world"));
    EXPECT_EQ(ReadText(file.c_str()), "hello world");
    ASSERT_TRUE(WriteText(file.c_str(), OpenMode::Write, "new"));
    EXPECT_EQ(ReadText(file.c_str()), "new");
    EXPECT_EQ(Os().openFile(file.c_str(), OpenMode::CreateNew), nullptr);
    EXPECT_TRUE(WriteText(path("fresh.txt").c_str(), OpenMode::CreateNew, "x"));
    ASSERT_TRUE(WriteText(path("append-new.txt").c_str(), OpenMode::Append, "a"));
    EXPECT_EQ(ReadText(path("append-new.txt").c_str()), "a");

    auto reader = Os().openFile(file.c_str(), OpenMode::Read);
    ASSERT_NE(reader, nullptr);
    EXPECT_EQ(reader->seekEnd(), 3);
    EXPECT_TRUE(reader->flush());
    EXPECT_FALSE(reader->failed());

    CreateDirectoryA(path("sub").c_str(), nullptr);
    EXPECT_EQ(Os().openFile(path("sub").c_str(), OpenMode::Read), nullptr);
}

TEST_F(Win32Files, FilesAreSharedForReadingAndWriting)
{
    const std::string file = path("shared.txt");
    auto writer = Os().openFile(file.c_str(), OpenMode::Write);
    ASSERT_NE(writer, nullptr);
    ASSERT_EQ(writer->write("abc", 3), 3u);
    auto appender = Os().openFile(file.c_str(), OpenMode::Append);
    ASSERT_NE(appender, nullptr);
    ASSERT_EQ(appender->write("de", 2), 2u);
    auto reader = Os().openFile(file.c_str(), OpenMode::Read);
    ASSERT_NE(reader, nullptr);
    EXPECT_EQ(ReadAll(*reader), "abcde");
    EXPECT_TRUE(writer->flush());
    EXPECT_TRUE(writer->close());
    EXPECT_TRUE(appender->close());
}

TEST_F(Win32Files, ReadingAWriteOnlyFileIsAFailureNotAnEnd)
{
    auto writer = Os().openFile(path("w.txt").c_str(), OpenMode::Write);
    ASSERT_NE(writer, nullptr);
    char buffer[4];
    EXPECT_EQ(writer->read(buffer, sizeof buffer), 0u);
    EXPECT_TRUE(writer->failed());
}

TEST_F(Win32Files, AttributesAndReadOnly)
{
    const std::string file = dir.write("r.txt", "data");
    FileAttributes attributes;
    ASSERT_EQ(Os().attributes(file.c_str(), attributes), FsStatus::Ok);
    EXPECT_FALSE(attributes.directory);
    EXPECT_FALSE(attributes.readOnly);
    ASSERT_EQ(Os().attributes(dir.path.c_str(), attributes), FsStatus::Ok);
    EXPECT_TRUE(attributes.directory);
    EXPECT_EQ(Os().attributes(path("missing").c_str(), attributes), FsStatus::NotFound);
    EXPECT_EQ(Os().attributes(path("missing\\deeper").c_str(), attributes), FsStatus::NotFound);

    // Only the read-only bit changes; the hidden bit stays.
    ASSERT_TRUE(SetFileAttributesA(file.c_str(), FILE_ATTRIBUTE_HIDDEN));
    ASSERT_TRUE(Os().setReadOnly(file.c_str(), true));
    EXPECT_EQ(RawAttributes(file), DWORD(FILE_ATTRIBUTE_HIDDEN | FILE_ATTRIBUTE_READONLY));
    ASSERT_EQ(Os().attributes(file.c_str(), attributes), FsStatus::Ok);
    EXPECT_TRUE(attributes.readOnly);

    // Read-only binds: no writing, removing or replacing.
    EXPECT_EQ(Os().openFile(file.c_str(), OpenMode::Write), nullptr);
    EXPECT_EQ(Os().openFile(file.c_str(), OpenMode::Append), nullptr);
    EXPECT_FALSE(Os().removeFile(file.c_str()));
    const std::string other = dir.write("other.txt", "other");
    EXPECT_FALSE(Os().replaceFile(other.c_str(), file.c_str()));
    EXPECT_EQ(ReadText(file.c_str()), "data");

    ASSERT_TRUE(Os().setReadOnly(file.c_str(), false));
    EXPECT_EQ(RawAttributes(file), DWORD(FILE_ATTRIBUTE_HIDDEN));
    ASSERT_TRUE(SetFileAttributesA(file.c_str(), FILE_ATTRIBUTE_NORMAL));
    ASSERT_TRUE(Os().setReadOnly(file.c_str(), true));
    ASSERT_TRUE(Os().setReadOnly(file.c_str(), false));
    EXPECT_EQ(RawAttributes(file) & FILE_ATTRIBUTE_READONLY, 0u);
    EXPECT_TRUE(Os().removeFile(file.c_str()));
    EXPECT_FALSE(Os().setReadOnly(file.c_str(), true));
}

TEST_F(Win32Files, RemoveNeverTakesADirectory)
{
    CreateDirectoryA(path("sub").c_str(), nullptr);
    EXPECT_FALSE(Os().removeFile(path("sub").c_str()));
    EXPECT_FALSE(Os().removeFile(path("missing").c_str()));
    FileAttributes attributes;
    EXPECT_EQ(Os().attributes(path("sub").c_str(), attributes), FsStatus::Ok);
}

TEST_F(Win32Files, ReplaceTakesThePlaceOfTheTarget)
{
    const std::string from = dir.write("from.tmp", "new content");
    const std::string to = dir.write("to.txt", "old");
    ASSERT_TRUE(Os().replaceFile(from.c_str(), to.c_str()));
    EXPECT_EQ(ReadText(to.c_str()), "new content");
    FileAttributes attributes;
    EXPECT_EQ(Os().attributes(from.c_str(), attributes), FsStatus::NotFound);

    const std::string again = dir.write("again.tmp", "x");
    ASSERT_TRUE(Os().replaceFile(again.c_str(), path("created.txt").c_str()));
    EXPECT_EQ(ReadText(path("created.txt").c_str()), "x");
    EXPECT_FALSE(Os().replaceFile(path("missing").c_str(), to.c_str()));
}

TEST_F(Win32Files, IdentityFollowsTheFileNotTheName)
{
    const std::string file = dir.write("same.txt", "x");
    const std::string other = dir.write("other.txt", "x");
    FileIdentity a, b, c, d;
    ASSERT_TRUE(Os().identity(file.c_str(), a));
    ASSERT_TRUE(Os().identity((dir.path + "\\.\\SAME.TXT").c_str(), b));
    ASSERT_TRUE(Os().identity(other.c_str(), c));
    EXPECT_EQ(a.volume, b.volume);
    EXPECT_EQ(a.index, b.index);
    EXPECT_FALSE(a.volume == c.volume && a.index == c.index);
    if (CreateHardLinkA(path("link.txt").c_str(), file.c_str(), nullptr)) {
        ASSERT_TRUE(Os().identity(path("link.txt").c_str(), d));
        EXPECT_EQ(a.index, d.index);
    }
    EXPECT_FALSE(Os().identity(path("missing").c_str(), a));
}

TEST_F(Win32Files, FindFileGivesSizeAndLocalWriteTime)
{
    const std::string file = dir.write("setup.exe", std::string(1234, 'x'));
    // 26 July 2008, 10:57:50 local time.
    SYSTEMTIME wanted{};
    wanted.wYear = 2008;
    wanted.wMonth = 7;
    wanted.wDay = 26;
    wanted.wHour = 10;
    wanted.wMinute = 57;
    wanted.wSecond = 50;
    FILETIME local, utc;
    ASSERT_TRUE(SystemTimeToFileTime(&wanted, &local));
    ASSERT_TRUE(LocalFileTimeToFileTime(&local, &utc));
    const HANDLE handle = CreateFileA(file.c_str(), FILE_WRITE_ATTRIBUTES, FILE_SHARE_READ | FILE_SHARE_WRITE,
                                      nullptr, OPEN_EXISTING, 0, nullptr);
    ASSERT_NE(handle, INVALID_HANDLE_VALUE);
    ASSERT_TRUE(SetFileTime(handle, nullptr, nullptr, &utc));
    CloseHandle(handle);

    FoundFile found;
    ASSERT_TRUE(Os().findFile(file.c_str(), found));
    EXPECT_EQ(found.size, 1234);
    EXPECT_EQ(found.lastWrite.year, 2008);
    EXPECT_EQ(found.lastWrite.month, 7);
    EXPECT_EQ(found.lastWrite.day, 26);
    EXPECT_EQ(found.lastWrite.hour, 10);
    EXPECT_EQ(found.lastWrite.minute, 57);
    EXPECT_EQ(found.lastWrite.second, 50);

    CreateDirectoryA(path("sub").c_str(), nullptr);
    EXPECT_FALSE(Os().findFile(path("sub").c_str(), found));
    EXPECT_FALSE(Os().findFile(path("missing").c_str(), found));
    EXPECT_FALSE(Os().findFile(path("*.exe").c_str(), found));
}

TEST(Win32Platform, DriveRoots)
{
    EXPECT_TRUE(Os().isDriveRoot("c:\\"));
    EXPECT_TRUE(Os().isDriveRoot("C:/"));
    EXPECT_FALSE(Os().isDriveRoot("c:\\windows"));
    EXPECT_FALSE(Os().isDriveRoot(""));
    const DWORD drives = GetLogicalDrives();
    for (char letter = 'z'; letter >= 'd'; letter--) {
        if (drives & (1u << (letter - 'a')))
            continue;
        const char root[] = {letter, ':', '\\', 0};
        EXPECT_FALSE(Os().isDriveRoot(root)) << root;
        break;
    }
}

TEST(Win32Platform, DllSearchIsRestrictedWhereTheSystemCan)
{
    const bool available = GetProcAddress(GetModuleHandleA("kernel32.dll"), "SetDefaultDllDirectories") != nullptr;
    EXPECT_EQ(RestrictDllSearch(), available);
    // System DLLs still load.
    EXPECT_NE(LoadLibraryA("mpr.dll"), nullptr);
}

}  // namespace
