// The application object and the screen: the title, the request to end the
// message loop, and the size of the primary display.
#pragma once

#include <string>

struct TScreen {
    // Pixels of the primary display. A front end without one (a terminal)
    // keeps this nominal size.
    int Width = 1024;
    int Height = 768;
};

class TApplication {
public:
    void Initialize() {}
    // Ends the message loop once the running handler has returned.
    void Terminate() { terminated = true; }
    bool Terminated() const { return terminated; }

    std::string Title;
    TScreen Screen;

private:
    bool terminated = false;
};
