// File operations: measuring, verified copying and comparing of files in
// binary chunks, and the script commands file_copy and file_delete built on
// them. Sizes are signed 32-bit; files of 2 GiB and more are refused.
#pragma once

#include <cstdint>

#include "engine/line_result.h"
#include "engine/session.h"

// Result codes of CopyFileVerified. The checks down to CopyTargetNotWritable
// are made in this order; the first that applies ends the call.
enum CopyResult {
    CopyDone = 0,
    CopyNameMissing = -1,
    CopySourceMissing = -2,
    CopySourceUnreadable = -3,      // its attributes cannot be read
    CopyTargetIsDirectory = -4,
    CopyTargetExists = -5,          // and overwriting was not asked for
    CopyTargetReadOnly = -6,        // and overwriting read-only files was not asked for
    CopyReadOnlyNotCleared = -7,
    CopySourceLengthUnknown = -8,   // also for 2 GiB and more
    CopySourceNotOpened = -9,
    CopyTargetNotWritable = -10,    // no temporary copy, or it cannot replace the target
    CopyChunkReadFailed = -11,
    CopyChunkWriteFailed = -12,
    CopyTailWriteFailed = -13,
    CopyTailReadFailed = -14,
    CopyNoBuffer = -15,
    CopySizeMismatch = -16,         // also when the copy cannot be written out
    CopyOntoItself = -17,           // target and source are one file: left alone
};

// The transfer of a file of `length` bytes: `count` chunks of `size` bytes,
// then a tail of `tail` bytes. Chunks are 32768 bytes; a shorter file is
// moved in one tail through a buffer of the next multiple of 512 above it.
struct ChunkPlan {
    int32_t size;
    int32_t count;
    int32_t tail;
};
ChunkPlan PlanChunks(int32_t length);

// Length in bytes; -1 when the file cannot be opened or measured, or is
// 2 GiB or longer.
int32_t FileLength(const char* path);

// Copies `source` to `target` (target first). The copy is written beside the
// target, checked for its size and only then put in the target's place: after
// any failure the target is as it was. With `overwriteReadOnly` an existing
// target's read-only attribute is cleared and stays cleared.
int CopyFileVerified(const char* target, const char* source, int overwrite, int overwriteReadOnly);

// 1 identical, 0 same length but different bytes, -1 not comparable (a name
// missing, lengths differ, unreadable, or both empty).
int CompareFiles(const char* first, const char* second);

// The workers of file_copy and file_delete: 1 done, 0 not; each appends one
// message to the report.
int FileCopy(SessionContext& context, const char* target, const char* source);
int FileDelete(SessionContext& context, const char* path);

// Handlers of "file_copy SOURCE TARGET" and "file_delete FILE".
LineResult FileCopyCommand(SessionContext& context);
LineResult FileDeleteCommand(SessionContext& context);
