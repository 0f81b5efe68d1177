// The program directory: the directory of the program file, without a
// trailing backslash, worked out once by the entry point.
#pragma once

#include <cstddef>

constexpr size_t ProgramDirSize = 260;  // at most 259 characters
constexpr size_t ProgramPathLimit = 255;  // characters of the program file's path

// Cuts the file name off `programFile`: the last backslash from the end down
// to the second character becomes the end of the text; the first character is
// never looked at, and a path without such a backslash stays whole. `out`
// holds ProgramDirSize bytes; a path that does not fit leaves it empty.
void CutProgramDir(const char* programFile, char* out);

// The program directory of the running program, from the platform's path of
// the program file. When that path cannot be had or is longer than
// ProgramPathLimit, `out` is empty: a cut path would name another directory.
void TakeProgramDir(char* out);
