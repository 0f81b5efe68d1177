// Keeps a toolkit's real timer in step with the model's Timer1: on while the
// model's timer is enabled, and started anew whenever the model started its
// timer again (Starts() changed), so that the next tick comes a full
// interval after that start, also when it happened inside a tick.
#pragma once

#include <cstdint>

#include "app/components.h"

class TimerFollower {
public:
    enum class Action { Keep, Start, Stop };

    // What to do with the real timer after an event has been fed to the
    // model: Start (re)starts it with the model's Interval, Stop ends it.
    Action Follow(const TTimer& timer)
    {
        if (!timer.Enabled()) {
            if (!running)
                return Action::Keep;
            running = false;
            return Action::Stop;
        }
        if (running && timer.Starts() == seenStarts)
            return Action::Keep;
        running = true;
        seenStarts = timer.Starts();
        return Action::Start;
    }

private:
    bool running = false;
    uint32_t seenStarts = 0;
};
