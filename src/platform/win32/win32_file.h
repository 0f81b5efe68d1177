// Shared-mode file streams on Win32 handles.
#pragma once

#include <memory>

#include "platform/platform.h"

// True for an existing file with the read-only attribute. Windows refuses to
// write, replace or remove such a file by itself; Wine run by root does not
// (it keeps the attribute as a permission bit that root may ignore), so the
// layer asks first and refuses the same everywhere.
bool IsReadOnlyFile(const char* path);

// Opens `path` with sharing for reading and writing (CreateFileA), so that
// other openers, this process included, may read and write it meanwhile.
// Directories never open, read-only files never open for writing. Answers nullptr when the file cannot be opened.
std::unique_ptr<File> OpenWin32File(const char* path, OpenMode mode);
