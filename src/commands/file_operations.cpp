// File operations: measuring, verified copying, comparing; file_copy and
// file_delete.
#include "commands/file_operations.h"

#include <cstring>
#include <limits>
#include <memory>
#include <new>

#include "commands/file_probes.h"
#include "commands/temp_file.h"
#include "engine/command_table.h"
#include "platform/platform.h"

namespace {

constexpr int32_t FullChunk = 32768;

std::unique_ptr<char[]> NewBuffer(int32_t size)
{
    return std::unique_ptr<char[]>(new (std::nothrow) char[static_cast<size_t>(size)]);
}

// Two names for one file (the same name, another spelling of it, a link).
bool SameFile(const char* first, const char* second)
{
    FileIdentity a;
    FileIdentity b;
    return Os().identity(first, a) && Os().identity(second, b) && a.volume == b.volume &&
           a.index == b.index;
}

bool Writable(const char* path)
{
    FileAttributes attributes;
    return Os().attributes(path, attributes) == FsStatus::Ok && !attributes.readOnly;
}

// The checks made before anything is changed, in their fixed order.
int CheckCopy(const char* target, const char* source, int overwrite, int overwriteReadOnly)
{
    if (!target || !*target || !source || !*source)
        return CopyNameMissing;
    if (!FileExists(source))
        return CopySourceMissing;
    FileAttributes attributes;
    if (Os().attributes(source, attributes) != FsStatus::Ok)
        return CopySourceUnreadable;
    if (IsDirectory(target))
        return CopyTargetIsDirectory;
    const bool targetExists = FileExists(target) != 0;
    if (targetExists && !overwrite)
        return CopyTargetExists;
    if (targetExists && !overwriteReadOnly && !Writable(target))
        return CopyTargetReadOnly;
    // Before any change: copying a file onto itself would empty it first.
    if (SameFile(target, source))
        return CopyOntoItself;
    if (targetExists && !Os().setReadOnly(target, false))
        return CopyReadOnlyNotCleared;
    return CopyDone;
}

// Moves `length` bytes chunk by chunk: one read and one write per chunk.
int Transfer(File& from, File& to, int32_t length)
{
    const ChunkPlan plan = PlanChunks(length);
    std::unique_ptr<char[]> buffer = NewBuffer(plan.size);
    if (!buffer)
        return CopyNoBuffer;
    const size_t chunk = static_cast<size_t>(plan.size);
    for (int32_t i = 0; i < plan.count; i++) {
        if (from.read(buffer.get(), chunk) != chunk)
            return CopyChunkReadFailed;
        if (to.write(buffer.get(), chunk) != chunk)
            return CopyChunkWriteFailed;
    }
    if (plan.tail > 0) {
        const size_t tail = static_cast<size_t>(plan.tail);
        if (from.read(buffer.get(), tail) != tail)
            return CopyTailReadFailed;
        if (to.write(buffer.get(), tail) != tail)
            return CopyTailWriteFailed;
    }
    return CopyDone;
}

// Fills the new copy and closes it. It must have the source's length and be
// written out completely before it may take the target's place.
int WriteCopy(File& from, File& to, int32_t length)
{
    int result = Transfer(from, to, length);
    // A source that changed its size while it was read (another writer, a
    // file cut short or rewritten) gave no true copy of any one moment.
    if (result == CopyDone && from.seekEnd() != length)
        result = CopySizeMismatch;
    if (result == CopyDone && to.seekEnd() != length)
        result = CopySizeMismatch;
    if (result == CopyDone && !to.flush())
        result = CopySizeMismatch;
    if (!to.close() && result == CopyDone)
        result = CopySizeMismatch;
    return result;
}

}  // namespace

ChunkPlan PlanChunks(int32_t length)
{
    if (length < 0)
        length = 0;
    const int32_t size = length >= FullChunk ? FullChunk : (length / 512) * 512 + 512;
    return {size, length / size, length % size};
}

int32_t FileLength(const char* path)
{
    if (!path)
        return -1;
    std::unique_ptr<File> file = Os().openFile(path, OpenMode::Read);
    if (!file)
        return -1;
    const int64_t end = file->seekEnd();
    file->close();
    // Sizes are signed 32-bit: 2 GiB and more cannot be handled.
    if (end < 0 || end > std::numeric_limits<int32_t>::max())
        return -1;
    return static_cast<int32_t>(end);
}

int CopyFileVerified(const char* target, const char* source, int overwrite, int overwriteReadOnly)
{
    int result = CheckCopy(target, source, overwrite, overwriteReadOnly);
    if (result != CopyDone)
        return result;
    const int32_t length = FileLength(source);
    if (length < 0)
        return CopySourceLengthUnknown;
    std::unique_ptr<File> from = Os().openFile(source, OpenMode::Read);
    if (!from)
        return CopySourceNotOpened;

    // The copy is made beside the target; the target itself is not touched
    // until the copy is complete.
    char temp[FieldSize];
    std::unique_ptr<File> to;
    const bool created = CreateTempBeside(temp, sizeof temp, target, [&](const char* name) {
        to = Os().openFile(name, OpenMode::CreateNew);
        return to != nullptr;
    });
    if (!created)
        return CopyTargetNotWritable;

    result = WriteCopy(*from, *to, length);
    from->close();
    // The complete copy takes the target's place in one call. On POSIX that
    // is rename(), which is atomic: the target is the old file or the whole
    // copy. Win32 MoveFileEx replaces within the volume but is not promised
    // to be atomic; a crash inside it is the one window left there.
    if (result == CopyDone && !Os().replaceFile(temp, target))
        result = CopyTargetNotWritable;
    if (result != CopyDone)
        Os().removeFile(temp);
    return result;
}

int CompareFiles(const char* first, const char* second)
{
    if (!first || !*first || !second || !*second)
        return -1;
    const int32_t length = FileLength(second);
    if (FileLength(first) != length || length <= 0)
        return -1;  // two empty files are not called identical
    std::unique_ptr<File> b = Os().openFile(second, OpenMode::Read);
    std::unique_ptr<File> a = Os().openFile(first, OpenMode::Read);
    if (!a || !b)
        return -1;
    const ChunkPlan plan = PlanChunks(length);
    std::unique_ptr<char[]> bufferA = NewBuffer(plan.size);
    std::unique_ptr<char[]> bufferB = NewBuffer(plan.size);
    if (!bufferA || !bufferB)
        return -1;
    const int32_t pieces = plan.count + (plan.tail > 0 ? 1 : 0);
    for (int32_t i = 0; i < pieces; i++) {
        const size_t size = static_cast<size_t>(i < plan.count ? plan.size : plan.tail);
        if (b->read(bufferB.get(), size) != size || a->read(bufferA.get(), size) != size)
            return -1;
        if (std::memcmp(bufferA.get(), bufferB.get(), size) != 0)
            return 0;
    }
    // Equal bytes, but a file that grew while it was compared is not
    // identical to the other any more.
    if (a->seekEnd() != length || b->seekEnd() != length)
        return -1;
    return 1;
}

int FileCopy(SessionContext& context, const char* target, const char* source)
{
    if (!FileExists(source)) {
        AppendReport(context, " Keine Kopie.");
        return 0;
    }
    // Only the comparison afterwards decides: a target that already holds
    // the source's bytes counts as copied, also when it is the source itself.
    CopyFileVerified(target, source, 1, 1);
    if (CompareFiles(target, source) == 1) {
        AppendReport(context, " kopiert");
        return 1;
    }
    AppendReport(context, " Keine Kopie.");
    return 0;
}

int FileDelete(SessionContext& context, const char* path)
{
    if (FileExists(path)) {
        Os().setReadOnly(path, false);
        Os().removeFile(path);
        if (FileExists(path)) {
            AppendReport(context, " nicht l\xf6schbar.");
            return 0;
        }
    }
    AppendReport(context, " erledigt.");
    return 1;
}

LineResult FileCopyCommand(SessionContext& context)
{
    EchoTokens(context);
    // The script names the source first; the worker takes the target first.
    return FileCopy(context, context.tokens[2], context.tokens[1]) ? LineDone : LineFailed;
}

LineResult FileDeleteCommand(SessionContext& context)
{
    EchoTokens(context);
    return FileDelete(context, context.tokens[1]) ? LineDone : LineFailed;
}
