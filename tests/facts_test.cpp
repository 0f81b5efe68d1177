// Machine and time facts, on a fake platform.
#include <gtest/gtest.h>

#include <string>

#include "facts/facts.h"
#include "fake_platform.h"

namespace {

struct VersionCase {
    uint32_t platformId, major, minor, build;
    const char* csd;
    const char* line;
};

TEST(Facts, OperatingSystemLine)
{
    const VersionCase cases[] = {
        {0, 3, 10, 0, "", "Win32s auf Win 3.x v3.10 Build 0 \r\n"},
        {1, 4, 0, 950, "", "Windows 95 v4.0 Build 950 \r\n"},
        {1, 4, 10, 1998, "", "Windows 98 v4.10 Build 1998 \r\n"},
        {1, 4, 10, 2222, " A", "Windows 98 SE v4.10 Build 2222  A\r\n"},
        {1, 4, 90, 3000, "", "Windows 98 SE v4.90 Build 3000 \r\n"},
        {1, 4, 10, (4u << 24) | (10u << 16) | 1998u, "", "Windows 98 v4.10 Build 1998 \r\n"},
        {1, 5, 0, 100, "", "Windows 2K??? v5.0 Build 100 \r\n"},
        {2, 5, 1, 2600, "Service Pack 2", "Windows NT v5.1 Build 2600 Service Pack 2\r\n"},
        {2, 6, 1, 7601, "", "Windows NT v6.1 Build 7601 \r\n"},
        {3, 1, 0, 1, "", "Win32 v1.0 Build 1 \r\n"},
    };
    FakePlatform fake;
    ScopedPlatform use(fake);
    for (const VersionCase& c : cases) {
        fake.version = FakePlatform::MakeVersion(c.platformId, c.major, c.minor, c.build, c.csd);
        SessionContext context;
        AppendOsVersion(context);
        EXPECT_STREQ(context.report, c.line);
    }
    fake.versionReadable = false;
    SessionContext context;
    AppendOsVersion(context);
    EXPECT_STREQ(context.report, "");
}

TEST(Facts, PosixSystemReportsItsOwnText)
{
    FakePlatform fake;
    ScopedPlatform use(fake);
    fake.version = FakePlatform::MakeVersion(PlatformPosix, 6, 1, 0, "6.1.0-18-amd64");
    std::strcpy(fake.version.systemText, "Linux");
    SessionContext context;
    AppendOsVersion(context);
    EXPECT_STREQ(context.report, "Linux v6.1 Build 0 6.1.0-18-amd64\r\n");
}

TEST(Facts, IdentityAndAddress)
{
    FakePlatform fake;
    ScopedPlatform use(fake);
    EXPECT_STREQ(ReadUserName(), "hans");
    fake.userReadable = false;
    EXPECT_STREQ(ReadUserName(), "");

    SessionContext context;
    EXPECT_TRUE(ReadComputerName(context));
    EXPECT_STREQ(context.computerName, "PC01");
    fake.computerReadable = false;
    std::strcpy(context.computerName, "OLD");
    EXPECT_FALSE(ReadComputerName(context));
    EXPECT_STREQ(context.computerName, "OLD");

    ReadMacAddress(context);
    EXPECT_STREQ(context.macAddress, "001A2B3C4D5E");
    // A failing adapter keeps the address of the last answer.
    fake.hasAdapter = false;
    ReadMacAddress(context);
    EXPECT_STREQ(context.macAddress, "001A2B3C4D5E");
}

TEST(Facts, DateAndTime)
{
    FakePlatform fake;
    ScopedPlatform use(fake);
    fake.now = {2009, 1, 2, 3, 4, 5};
    SessionContext context;
    EXPECT_STREQ(DateText(context, 0), "2009-01-02");
    EXPECT_STREQ(TimeText(context, 0), "03:04");
    EXPECT_STREQ(DateTimeText(context, 1), "2009-01-02 03:04");
    EXPECT_STREQ(context.report, "2009-01-02 03:04");
}

TEST(Facts, TemporaryDirectoryText)
{
    FakePlatform fake;
    ScopedPlatform use(fake);
    EXPECT_STREQ(TempInfoText(), "");
    fake.env["TEMP"] = "C:\\WINDOWS\\TEMP";
    EXPECT_STREQ(TempInfoText(), "C:\\WINDOWS\\TEMP");
    fake.env["TMP"] = "";
    EXPECT_STREQ(TempInfoText(), "TMP='';");
    fake.env["TMP"] = "C:\\TEMP";
    EXPECT_STREQ(TempInfoText(), "TMP='C:\\TEMP';");

    fake.env["TMP"] = std::string(400, 't');
    std::string text = TempInfoText();
    EXPECT_EQ(text.size(), size_t(FieldSize - 1));
    EXPECT_EQ(text.substr(text.size() - 2), "';");
    fake.env.erase("TMP");
    fake.env["TEMP"] = std::string(400, 'e');
    EXPECT_EQ(std::string(TempInfoText()), std::string(FieldSize - 1, 'e'));
}

}  // namespace
