// file_copy of a 256 MiB file against cp, and CompareFiles of two identical
// 256 MiB files against cmp, in one directory with a warm cache.
//
// file_copy does more than cp: it writes the copy beside the target, makes
// it durable (fsync) before it takes the target's place, and then compares
// target and source. For that reason the run also shows cp followed by
// sync of the copy, as an aside.
#include <cstdio>
#include <cstdint>
#include <filesystem>
#include <string>

#include "bench_support.h"
#include "commands/file_operations.h"
#include "engine/session.h"

namespace {

constexpr size_t FileSize = size_t{256} << 20;

// Bytes that neither compress nor look sparse.
std::string Content()
{
    std::string bytes(FileSize, 0);
    uint64_t state = 0x9E3779B97F4A7C15u;
    for (size_t i = 0; i < FileSize; i += 8) {
        state ^= state << 13;
        state ^= state >> 7;
        state ^= state << 17;
        for (size_t k = 0; k < 8; k++)
            bytes[i + k] = static_cast<char>(state >> (8 * k));
    }
    return bytes;
}

void RemoveFile(const std::string& path)
{
    std::error_code ignored;
    std::filesystem::remove(path, ignored);
}

std::string Throughput(const char* label, double seconds)
{
    char text[96];
    std::snprintf(text, sizeof text, "%s %.0f MiB/s (%.1f ms)", label, 256 / seconds, seconds * 1000);
    return text;
}

void BenchCopy(const std::string& source, const std::string& target)
{
    SessionContext& context = *new SessionContext;
    const auto removeTarget = [&] { RemoveFile(target); };
    const bench::Times t = bench::BestOfEach(
        [&] { bench::Require(FileCopy(context, target.c_str(), source.c_str()) == 1, "file_copy copied"); },
        [&] { bench::RunToolExpecting({"cp", source, target}); }, removeTarget);
    const bench::Times synced = bench::BestOfEach(
        [] {}, [&] { bench::RunToolExpecting({"sh", "-c", "cp \"$0\" \"$1\" && sync \"$1\"", source, target}); },
        removeTarget);
    bench::Report("file_copy_256MiB", "throughput vs cp", t.reference / t.own, bench::Goal::AtLeast, 0.9,
                  Throughput("file_copy", t.own) + ", " + Throughput("cp", t.reference) + "; aside: " +
                      Throughput("cp + sync", synced.reference));
    removeTarget();
}

void BenchCompare(const std::string& first, const std::string& second)
{
    const bench::Times t = bench::BestOfEach(
        [&] { bench::Require(CompareFiles(first.c_str(), second.c_str()) == 1, "CompareFiles: identical"); },
        [&] { bench::RunToolExpecting({"cmp", first, second}); });
    bench::Report("compare_files_256MiB", "throughput vs cmp", t.reference / t.own, bench::Goal::AtLeast, 1.0,
                  Throughput("CompareFiles", t.own) + ", " + Throughput("cmp", t.reference));
}

}  // namespace

int main()
{
    bench::ScratchDir dir;
    const std::string source = dir / "quelle.bin";
    const std::string twin = dir / "zwilling.bin";
    {
        const std::string content = Content();
        bench::WriteFile(source, content);
        bench::WriteFile(twin, content);
    }
    std::printf("file_copy and CompareFiles: files of %zu bytes in %s\n", FileSize, dir.path.c_str());
    BenchCopy(source, dir / "kopie.bin");
    BenchCompare(source, twin);
    return 0;
}
