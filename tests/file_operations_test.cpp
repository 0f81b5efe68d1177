// File operations: chunked copying and comparing, the copy's result codes,
// and the file_copy and file_delete commands.
#include <gtest/gtest.h>

#include <sys/stat.h>

#include <filesystem>
#include <string>
#include <vector>

#include "commands/file_operations.h"
#include "engine/executor.h"
#include "fake_platform.h"
#include "fault_platform.h"
#include "temp_dir.h"

namespace {

std::string Pattern(size_t size)
{
    std::string bytes(size, '\0');
    for (size_t i = 0; i < size; i++)
        bytes[i] = static_cast<char>((i * 7 + i / 251) & 0xFF);
    return bytes;
}

bool ReadOnly(const std::string& path)
{
    struct stat info;
    return stat(path.c_str(), &info) == 0 && (info.st_mode & S_IWUSR) == 0;
}

// Names in `dir`, to see that no temporary file is left behind.
std::vector<std::string> Names(const TempDir& dir)
{
    std::vector<std::string> names;
    for (const auto& entry : std::filesystem::directory_iterator(dir.path))
        names.push_back(entry.path().filename().string());
    std::sort(names.begin(), names.end());
    return names;
}

// A sparse file of `size` bytes.
std::string Sparse(const TempDir& dir, const std::string& name, uintmax_t size)
{
    std::string path = dir.write(name, "");
    std::error_code error;
    std::filesystem::resize_file(path, size, error);
    EXPECT_FALSE(error) << error.message();
    return path;
}

class FileOperations : public ::testing::Test {
protected:
    FakePlatform fake;
    FaultPlatform faults{fake};
    ScopedPlatform use{faults};
    TempDir dir;
    SessionContext context;

    std::string Appended(size_t before) const { return std::string(context.report + before); }
};

TEST(ChunkPlan, SizeCountAndTail)
{
    struct Case {
        int32_t length, size, count, tail;
    } cases[] = {
        {0, 512, 0, 0},         {511, 512, 0, 511},       {512, 1024, 0, 512},    {32767, 32768, 0, 32767},
        {32768, 32768, 1, 0},   {32769, 32768, 1, 1},     {65536, 32768, 2, 0},
    };
    for (const Case& c : cases) {
        const ChunkPlan plan = PlanChunks(c.length);
        EXPECT_EQ(plan.size, c.size) << c.length;
        EXPECT_EQ(plan.count, c.count) << c.length;
        EXPECT_EQ(plan.tail, c.tail) << c.length;
    }
}

TEST_F(FileOperations, CopyMovesEachChunkInOneReadAndOneWrite)
{
    struct Case {
        size_t length;
        std::vector<size_t> transfers;
    } cases[] = {
        {0, {}},
        {511, {511}},
        {512, {512}},
        {32767, {32767}},
        {32768, {32768}},
        {32769, {32768, 1}},
        {65536, {32768, 32768}},
    };
    for (const Case& c : cases) {
        const std::string content = Pattern(c.length);
        const std::string source = dir.write("source.bin", content);
        const std::string target = dir / "target.bin";
        faults.arm(0);
        EXPECT_EQ(CopyFileVerified(target.c_str(), source.c_str(), 1, 1), CopyDone) << c.length;
        EXPECT_EQ(dir.read("target.bin"), content) << c.length;
        EXPECT_EQ(faults.transfers(FileOp::Read, source), c.transfers) << c.length;
        EXPECT_EQ(faults.transfers(FileOp::Write, target + "~tm0"), c.transfers) << c.length;
        // Two empty files are never called identical.
        EXPECT_EQ(CompareFiles(target.c_str(), source.c_str()), c.length ? 1 : -1) << c.length;
        EXPECT_EQ(Names(dir), (std::vector<std::string>{"source.bin", "target.bin"}));
    }
}

TEST_F(FileOperations, CopyRefusalsLeaveTheTargetAlone)
{
    const std::string source = dir.write("source.txt", "neu");
    const std::string target = dir.write("target.txt", "alt");
    const std::string readOnly = dir.write("ro.txt", "alt");
    chmod(readOnly.c_str(), 0444);
    const std::string sub = dir / "sub";
    std::filesystem::create_directory(sub);
    const std::string link = dir / "link.txt";
    std::error_code linkError;
    std::filesystem::create_hard_link(source, link, linkError);
    ASSERT_FALSE(linkError) << linkError.message();
    const std::string huge = Sparse(dir, "huge.bin", uintmax_t(1) << 31);

    struct Case {
        std::string target, source;
        int overwrite, overwriteReadOnly, result;
    } cases[] = {
        {"", source, 1, 1, CopyNameMissing},
        {target, "", 1, 1, CopyNameMissing},
        {target, dir / "missing.txt", 1, 1, CopySourceMissing},
        {sub, source, 1, 1, CopyTargetIsDirectory},
        {target, source, 0, 1, CopyTargetExists},
        {readOnly, source, 1, 0, CopyTargetReadOnly},
        {source, source, 1, 1, CopyOntoItself},
        {dir / "SOURCE.TXT", source, 1, 1, CopyOntoItself},
        {link, source, 1, 1, CopyOntoItself},
        {target, huge, 1, 1, CopySourceLengthUnknown},
        {dir / "nowhere/target.txt", source, 1, 1, CopyTargetNotWritable},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(CopyFileVerified(c.target.c_str(), c.source.c_str(), c.overwrite, c.overwriteReadOnly), c.result)
            << c.target << " <- " << c.source;
    }
    EXPECT_EQ(dir.read("target.txt"), "alt");
    EXPECT_EQ(dir.read("ro.txt"), "alt");
    EXPECT_TRUE(ReadOnly(readOnly));
    EXPECT_EQ(dir.read("source.txt"), "neu");
    EXPECT_TRUE(std::filesystem::is_empty(sub));
}

TEST_F(FileOperations, FailedCopyKeepsTheOldTarget)
{
    const std::string source = dir.write("source.txt", Pattern(40000));
    const std::string target = dir.write("target.txt", "alt");
    struct Case {
        FileOp op;
        int result;
    } cases[] = {
        {FileOp::SetReadOnly, CopyReadOnlyNotCleared}, {FileOp::Write, CopyChunkWriteFailed},
        {FileOp::Read, CopyChunkReadFailed},           {FileOp::Flush, CopySizeMismatch},
        {FileOp::Replace, CopyTargetNotWritable},
    };
    for (const Case& c : cases) {
        faults.counts = [&](FileOp op, const std::string&) { return op == c.op; };
        faults.arm(1);
        EXPECT_EQ(CopyFileVerified(target.c_str(), source.c_str(), 1, 1), c.result) << FileOpName(c.op);
        EXPECT_EQ(dir.read("target.txt"), "alt") << FileOpName(c.op);
        EXPECT_EQ(Names(dir), (std::vector<std::string>{"source.txt", "target.txt"})) << FileOpName(c.op);
    }
}

TEST_F(FileOperations, LengthAndTwoGibibytes)
{
    EXPECT_EQ(FileLength((dir / "missing").c_str()), -1);
    EXPECT_EQ(FileLength(dir.write("empty", "").c_str()), 0);
    EXPECT_EQ(FileLength(dir.write("five", "12345").c_str()), 5);
    EXPECT_EQ(FileLength(Sparse(dir, "largest", 0x7FFFFFFF).c_str()), 0x7FFFFFFF);
    EXPECT_EQ(FileLength(Sparse(dir, "huge", uintmax_t(1) << 31).c_str()), -1);
    EXPECT_EQ(FileLength(Sparse(dir, "huger", (uintmax_t(1) << 32) + 5).c_str()), -1);
}

TEST_F(FileOperations, Compare)
{
    const std::string big = Pattern(65536);
    std::string lastByte = big;
    lastByte.back() ^= 1;
    std::string firstChunk = big + "x";
    firstChunk[100] ^= 1;
    struct Case {
        std::string first, second;
        bool firstExists, secondExists;
        int result;
    } cases[] = {
        {"", "", false, false, -1},
        {"", "", true, true, -1},
        {"abc", "abd", true, true, 0},
        {"abc", "abcd", true, true, -1},
        {"abc", "abc", true, false, -1},
        {big, big, true, true, 1},
        {big, lastByte, true, true, 0},
        {big + "x", big + "x", true, true, 1},
        {big + "x", firstChunk, true, true, 0},
    };
    for (const Case& c : cases) {
        std::filesystem::remove(dir / "a");
        std::filesystem::remove(dir / "b");
        if (c.firstExists)
            dir.write("a", c.first);
        if (c.secondExists)
            dir.write("b", c.second);
        EXPECT_EQ(CompareFiles((dir / "a").c_str(), (dir / "b").c_str()), c.result)
            << c.first.size() << "/" << c.second.size();
    }
    EXPECT_EQ(CompareFiles(nullptr, (dir / "a").c_str()), -1);
}

TEST_F(FileOperations, FileCopyReports)
{
    const std::string source = dir.write("source.txt", "neu");
    const std::string empty = dir.write("empty.txt", "");
    const std::string readOnly = dir.write("ro.txt", "alt");
    chmod(readOnly.c_str(), 0444);
    const std::string sub = dir / "sub";
    std::filesystem::create_directory(sub);
    struct Case {
        std::string target, source;
        int result;
        const char* message;
        std::string after;  // content of the target afterwards
    } cases[] = {
        {dir / "new.txt", source, 1, " kopiert", "neu"},
        {readOnly, source, 1, " kopiert", "neu"},
        {dir / "new.txt", dir / "missing.txt", 0, " Keine Kopie.", "neu"},
        {dir / "copy.txt", empty, 0, " Keine Kopie.", ""},
        {sub, source, 0, " Keine Kopie.", ""},
        // A file copied onto itself is left alone; being identical, it counts as copied.
        {source, source, 1, " kopiert", "neu"},
    };
    for (const Case& c : cases) {
        const size_t before = context.reportLength;
        EXPECT_EQ(FileCopy(context, c.target.c_str(), c.source.c_str()), c.result) << c.target;
        EXPECT_EQ(Appended(before), c.message) << c.target;
        if (!std::filesystem::is_directory(c.target)) {
            std::ifstream in(c.target, std::ios::binary);
            EXPECT_EQ(std::string(std::istreambuf_iterator<char>(in), {}), c.after) << c.target;
        }
    }
    EXPECT_FALSE(ReadOnly(readOnly));
    EXPECT_TRUE(std::filesystem::is_empty(sub));
    EXPECT_EQ(FileCopy(context, (dir / "SOURCE.txt").c_str(), source.c_str()), 1);
    EXPECT_EQ(dir.read("source.txt"), "neu");
}

TEST_F(FileOperations, IdenticalTargetThatCannotBeRewrittenCountsAsCopied)
{
    const std::string source = dir.write("source.txt", "gleich");
    const std::string target = dir.write("target.txt", "gleich");
    faults.counts = [](FileOp op, const std::string& path) {
        return op == FileOp::Open && path.find("~tm") != std::string::npos;
    };
    faults.arm(1, true);
    EXPECT_EQ(FileCopy(context, target.c_str(), source.c_str()), 1);
    EXPECT_STREQ(context.report, " kopiert");
}

TEST_F(FileOperations, FileDeleteReports)
{
    const std::string plain = dir.write("plain.txt", "x");
    const std::string readOnly = dir.write("ro.txt", "x");
    chmod(readOnly.c_str(), 0444);
    const std::string busy = dir.write("busy.txt", "x");
    const std::string sub = dir / "sub";
    std::filesystem::create_directory(sub);
    struct Case {
        std::string path;
        int result;
        const char* message;
        bool remains;
    } cases[] = {
        {plain, 1, " erledigt.", false},
        {readOnly, 1, " erledigt.", false},
        {dir / "missing.txt", 1, " erledigt.", false},
        {sub, 1, " erledigt.", true},
        {busy, 0, " nicht l\xf6schbar.", true},
    };
    faults.counts = [&](FileOp op, const std::string& path) { return op == FileOp::Remove && path == busy; };
    faults.arm(1, true);
    for (const Case& c : cases) {
        const size_t before = context.reportLength;
        EXPECT_EQ(FileDelete(context, c.path.c_str()), c.result) << c.path;
        EXPECT_EQ(Appended(before), c.message) << c.path;
        EXPECT_EQ(std::filesystem::exists(c.path), c.remains) << c.path;
    }
}

TEST_F(FileOperations, ScriptCommands)
{
    const std::string source = dir.write("quelle.txt", "inhalt");
    const std::string target = dir / "ziel.txt";
    const std::string copy = "file_copy \"" + source + "\" \"" + target + "\"";
    EXPECT_EQ(ExecuteLine(context, copy.c_str()), LineDone);
    EXPECT_EQ(std::string(context.report), "file_copy " + source + " " + target + "  kopiert");
    EXPECT_EQ(dir.read("ziel.txt"), "inhalt");

    const size_t before = context.reportLength;
    const std::string remove = "file_delete \"" + target + "\"";
    EXPECT_EQ(ExecuteLine(context, remove.c_str()), LineDone);
    EXPECT_EQ(Appended(before), "file_delete " + target + "  erledigt.");
    EXPECT_FALSE(std::filesystem::exists(target));

    const size_t later = context.reportLength;
    const std::string missing = "file_copy \"" + target + "\" \"" + source + "\"";
    EXPECT_EQ(ExecuteLine(context, missing.c_str()), LineFailed);
    EXPECT_EQ(Appended(later), "file_copy " + target + " " + source + "  Keine Kopie.");
    EXPECT_EQ(dir.read("quelle.txt"), "inhalt");
}

}  // namespace
