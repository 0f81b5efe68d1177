// Raw keyboard mode and signals for the terminal front end.
//
// Keys: h presses "Halt"; q, Escape and Ctrl-C ask the window to close. The
// bytes of an escape sequence (arrow keys and the like) arrive together with
// their Escape and are ignored as a whole. Ctrl-C arrives as a byte in raw
// mode and as SIGINT otherwise; both are a close request. SIGTERM, SIGHUP and
// SIGQUIT restore the terminal and end the program as the signal would.
#include "app/terminal_input.h"

#include <csignal>
#include <cstring>

#include <poll.h>
#include <sys/ioctl.h>
#include <termios.h>
#include <unistd.h>

namespace {

termios savedMode;
volatile sig_atomic_t rawMode = 0;
volatile sig_atomic_t interrupted = 0;
volatile sig_atomic_t resized = 0;
bool inputOpen = true;

void RestoreTerminal()
{
    if (rawMode) {
        tcsetattr(STDIN_FILENO, TCSAFLUSH, &savedMode);
        rawMode = 0;
    }
}

void OnInterrupt(int)
{
    interrupted = 1;
}

void OnResize(int)
{
    resized = 1;
}

void OnFatal(int signalNumber)
{
    RestoreTerminal();
    signal(signalNumber, SIG_DFL);
    raise(signalNumber);
}

void Install(int signalNumber, void (*handler)(int))
{
    struct sigaction action;
    std::memset(&action, 0, sizeof action);
    action.sa_handler = handler;
    sigemptyset(&action.sa_mask);
    sigaction(signalNumber, &action, nullptr);
}

Key KeyOf(const unsigned char* bytes, ssize_t count)
{
    if (count <= 0)
        return Key::None;
    if (bytes[0] == 0x1B)
        return count == 1 ? Key::Close : Key::None;
    if (bytes[0] == 'h' || bytes[0] == 'H')
        return Key::Halt;
    if (bytes[0] == 'q' || bytes[0] == 'Q' || bytes[0] == 0x03)
        return Key::Close;
    return Key::None;
}

}  // namespace

TerminalInput::TerminalInput()
{
    if (isatty(STDIN_FILENO) && tcgetattr(STDIN_FILENO, &savedMode) == 0) {
        termios raw = savedMode;
        raw.c_lflag &= ~static_cast<tcflag_t>(ICANON | ECHO | ISIG | IEXTEN);
        raw.c_iflag &= ~static_cast<tcflag_t>(IXON | ICRNL);
        raw.c_cc[VMIN] = 1;
        raw.c_cc[VTIME] = 0;
        if (tcsetattr(STDIN_FILENO, TCSAFLUSH, &raw) == 0)
            rawMode = 1;
    }
    Install(SIGINT, OnInterrupt);
    Install(SIGWINCH, OnResize);
    Install(SIGTERM, OnFatal);
    Install(SIGHUP, OnFatal);
    Install(SIGQUIT, OnFatal);
}

TerminalInput::~TerminalInput()
{
    RestoreTerminal();
}

Key TerminalInput::Wait(int timeoutMs)
{
    if (interrupted) {
        interrupted = 0;
        return Key::Close;
    }
    pollfd input = {STDIN_FILENO, POLLIN, 0};
    // Once standard input has ended only the timeout and signals are waited for.
    const int ready = poll(&input, inputOpen ? 1 : 0, timeoutMs);
    if (interrupted) {
        interrupted = 0;
        return Key::Close;
    }
    if (ready <= 0)
        return Key::None;
    if (input.revents & (POLLERR | POLLNVAL)) {
        inputOpen = false;
        return Key::None;
    }
    unsigned char bytes[32];
    const ssize_t count = read(STDIN_FILENO, bytes, sizeof bytes);
    if (count <= 0) {
        inputOpen = false;
        return Key::None;
    }
    return KeyOf(bytes, count);
}

bool TerminalInput::TakeResize()
{
    const bool was = resized;
    resized = 0;
    return was;
}

bool TerminalInput::Size(int& columns, int& rows)
{
    winsize size;
    if (ioctl(STDOUT_FILENO, TIOCGWINSZ, &size) != 0 || size.ws_col == 0)
        return false;
    columns = size.ws_col;
    rows = size.ws_row;
    return true;
}
