// When the window's activation event (FormActivate) runs, for a front end
// whose toolkit reports window activation as it happens.
//
// The form's activation event is the form becoming the application's active
// form, as the VCL defines OnActivate: it fires when the active form of the
// application changes to this form, not whenever the window gets the
// keyboard focus back. Switching to another program leaves the
// application's active form as it is, so coming back runs nothing; only
// activating another form of the same application gives the active form up.
// With the one status window that means: the event runs once, when the
// window is first activated.
#pragma once

class ActiveFormRule {
public:
    // The window of `form` was activated. Answers true when the form has
    // thereby become the application's active form: run its activation event.
    bool WindowActivated(const void* form);
    // The window of `form` lost the activation; `toOwnWindow` tells whether
    // the window activated instead belongs to this application.
    void WindowDeactivated(const void* form, bool toOwnWindow);

private:
    const void* activeForm = nullptr;
};
