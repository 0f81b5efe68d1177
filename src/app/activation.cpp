// The application's active form, kept across activations.
#include "app/activation.h"

bool ActiveFormRule::WindowActivated(const void* form)
{
    if (activeForm == form)
        return false;
    activeForm = form;
    return true;
}

void ActiveFormRule::WindowDeactivated(const void* form, bool toOwnWindow)
{
    // Another program taking the focus leaves the active form unchanged.
    if (toOwnWindow && activeForm == form)
        activeForm = nullptr;
}
