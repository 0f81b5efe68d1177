// Temporary files beside a target. New content is written under a name of
// its own in the target's directory and put in the target's place only once
// it is complete, so that a failure never touches the target. Being in the
// same directory, the temporary file is on the target's volume, where the
// platform can replace the target in one step.
#pragma once

#include <cstddef>

#include "engine/session.h"

// Names tried one after the other: target + "~tm0" ... target + "~tm9".
constexpr int TempNameTries = 10;

// Forms temporary name number `attempt` for `target` into `buffer`. False
// when it does not fit; the buffer is then empty.
bool TempNameBeside(char* buffer, size_t size, const char* target, int attempt);

// Calls `create(name)` with the temporary names in turn until one call
// succeeds (it is expected to open the name as a new file, so that a name
// that is taken is passed over). False when none could be created; `buffer`
// then holds the empty text.
template <class Create>
bool CreateTempBeside(char* buffer, size_t size, const char* target, Create create)
{
    for (int attempt = 0; attempt < TempNameTries; attempt++) {
        if (!TempNameBeside(buffer, size, target, attempt))
            break;
        if (create(static_cast<const char*>(buffer)))
            return true;
    }
    if (size > 0)
        buffer[0] = 0;
    return false;
}
