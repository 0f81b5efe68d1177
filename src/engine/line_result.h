// The answer of one script line, which tells the runner what to add to the
// report after the line and whether to go on reading.
#pragma once

enum LineResult {
    LineStop = -1,    // exit or quit: stop reading
    LineSkipped = 0,  // nothing to report
    LineDone = 1,     // carried out; the runner ends the report line
    LineFailed = 2,   // failed or unknown; the runner adds the failure mark
    LineIgnored = 3,  // no command that applies; nothing is added
    LineAbort = 4,    // hand-over to the updater: stop reading, abort flag set
};
