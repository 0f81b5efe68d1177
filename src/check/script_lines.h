// A script as the runner reads it, held beside its physical lines.
//
// The runner sees pieces: TextReader drops every CR, ends the text at a
// Ctrl-Z and hands out at most 259 characters at a time, so a longer line
// arrives as several pieces, each run as a line of its own. The checker
// needs both views: the pieces for what runs, the physical line for where
// the administrator put quotes and how long the line really is.
#pragma once

#include <string>
#include <vector>

struct ScriptLine {
    int number = 0;                   // 1 for the first line of the file
    std::string text;                 // the physical line: CR dropped, without its line feed
    bool endsWithLineFeed = false;    // false only for a last line cut off by the end or a Ctrl-Z
    std::vector<std::string> pieces;  // what TextReader handed out for it, in order
};

struct ScriptText {
    bool readable = false;
    std::string bytes;             // the file's bytes up to a Ctrl-Z
    std::vector<ScriptLine> lines;
    int ctrlZLine = 0;             // the line holding a Ctrl-Z (0: none)
    bool textAfterCtrlZ = false;   // something other than blanks follows it
};

// Reads the script at `path` through the platform.
ScriptText ReadScriptText(const char* path);
