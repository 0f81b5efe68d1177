// The session record: everything one run of the program knows, in fixed
// buffers, and the report that every part of the program writes into.
//
// Exactly one record exists for the program (TheSession()); tests make their
// own. Every text field is a zero-terminated Windows-1252 byte string.
#pragma once

#include <cstddef>
#include <cstdint>

constexpr int FieldSize = 264;     // every text field: at most 263 characters
constexpr int LineSize = 260;      // line buffers: at most 259 characters
constexpr int TokenLimit = 260;    // characters of one token
constexpr int MaxTokens = 5;       // tokens read from one line
constexpr int MaxLevels = 30;      // block depths 0 to 29
constexpr int ReportSize = 16384;  // the report: at most 16383 characters

struct SessionContext {
    int32_t ifDepth;
    int32_t levelActive[MaxLevels];
    // Levels opened beyond the deepest the block state can hold; they are
    // inactive and counted only, so that their endif lines still balance.
    int32_t excessDepth;

    char serverName[FieldSize];
    char logonAlias[FieldSize];
    char userName[FieldSize];
    char computerName[FieldSize];
    char macAddress[FieldSize];
    char logonPath[FieldSize];
    char scriptPath[FieldSize];
    char exeDir[FieldSize];
    char localExePath[FieldSize];
    char serverExePath[FieldSize];
    char updaterPath[FieldSize];

    char report[ReportSize];
    // Length of the report text, kept so that appending does not rescan it.
    size_t reportLength;

    char tokens[MaxTokens + 1][FieldSize];
    int32_t tokenCount;

    SessionContext();
};

// The program's one session record.
SessionContext& TheSession();

// Empties every field, as at construction.
void ClearSession(SessionContext& context);

// Appends formatted text at the end of the report. Only the system's own
// format strings may be passed as `format`; what does not fit is dropped.
void AppendReport(SessionContext& context, const char* format, ...)
#if defined(__GNUC__)
    __attribute__((format(printf, 2, 3)))
#endif
    ;

// Appends `text` unchanged (a percent sign in it is an ordinary character).
void AppendReportText(SessionContext& context, const char* text);

// Copies at most size - 1 characters of `source` and a terminator into
// `buffer`. A missing source or buffer writes nothing. Returns `buffer`.
char* CopyBounded(char* buffer, const char* source, size_t size);

// Builds a path (or any text) from parts into `buffer`: true when the whole
// text fit; false when it did not, and then `buffer` holds the empty text, so
// that a cut text can never name another file.
bool JoinFits(char* buffer, size_t size, const char* first, const char* second = nullptr,
              const char* third = nullptr);

void SetUserName(SessionContext& context, const char* name);
void SetExeDir(SessionContext& context, const char* dir);
