// The POSIX terminal around the front end: raw keyboard mode on a terminal
// (restored at exit and when a signal ends the program), the keys the window
// understands, and Ctrl-C as a close request also when the keyboard is not a
// terminal.
#pragma once

enum class Key { None, Halt, Close };

class TerminalInput {
public:
    // Switches standard input to raw mode when it is a terminal and installs
    // the signal handlers.
    TerminalInput();
    // Restores the terminal.
    ~TerminalInput();
    TerminalInput(const TerminalInput&) = delete;
    TerminalInput& operator=(const TerminalInput&) = delete;

    // Waits at most `timeoutMs` (negative: without a limit) for a key or a
    // signal. Answers the key; Key::None on a timeout or an unknown key.
    Key Wait(int timeoutMs);
    // True once after the terminal's size has changed.
    bool TakeResize();
    // The terminal's size in cells; false when standard output is none.
    static bool Size(int& columns, int& rows);
};
