// The script checker: reads a script exactly as the runner does, classifies
// every line with the executor's own rules and reports the mistakes that
// the language lets pass quietly, without running anything.
//
// Findings are data; their texts are German, in Windows-1252 like every
// text of the system.
#pragma once

#include <string>
#include <vector>

enum class Severity {
    Error,    // "Fehler": the line does not do what it says
    Warning,  // "Warnung": it probably does not, or only by luck
};

enum class FindingKind {
    Unreadable,       // the script cannot be opened
    UnknownCommand,   // keyword unknown, or not with this token count
    DroppedLine,      // four tokens without if: dropped without a message
    SeparatorInWord,  // a separator cuts what looks like one word
    IfSubject,        // if with a subject the executor does not know
    IfOperator,       // if with an operator that is neither = nor !
    IfJoined,         // if user=hans: one token instead of three
    IfComparison,     // if user <> hans: < and > are no operator
    TooManyEndif,     // endif without an open block
    UnclosedIf,       // if without endif
    NestingTooDeep,   // more open blocks than the block state holds
    LongLine,         // more than 259 characters: runs as several lines
    LongQuote,        // a quoted text longer than a token holds
    UnclosedQuote,    // a quote that the line does not close
    DriveToken,       // drive or killdrive with a token that is no drive
    Unreachable,      // after an unconditional exit or quit
    Utf8Text,         // the file looks like UTF-8
    NulByte,          // a zero byte ends the line early
    TextAfterCtrlZ,   // a Ctrl-Z ends the script before its end
};

struct Finding {
    int line;  // 1 for the first line; 0 for the file as a whole
    Severity severity;
    FindingKind kind;
    std::string text;
};

// Checks the script at `path` (read through the platform); the findings in
// the order of their lines.
std::vector<Finding> CheckScript(const char* path);

// "Fehler" or "Warnung".
const char* SeverityText(Severity severity);
