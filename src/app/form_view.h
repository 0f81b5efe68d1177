// What a front end hears from the status window: every change of the memo's
// lines and every repaint the window asks for ("Update"). A front end redraws
// on these and after every event it has fed in.
#pragma once

#include "app/memo_lines.h"

class FormView : public MemoListener {
public:
    // The window asks to be repainted at once.
    virtual void Update() {}
};
