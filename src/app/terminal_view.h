// The status window drawn in a terminal: the caption, the four fields with
// their labels, the status line with "Halt" while it is visible, the text
// area showing the last lines of Memo1 that fit, and the keys. The whole
// screen is drawn again on every repaint the window asks for and after every
// event the front end has fed in.
#pragma once

#include <cstdio>
#include <string>
#include <vector>

#include "app/form.h"

// The screen for a terminal of `columns` × `rows` cells: one UTF-8 text per
// row, none wider than `columns` characters.
std::vector<std::string> RenderForm(const TForm1& form, int columns, int rows);

class TerminalView : public FormView {
public:
    TerminalView(const TForm1& form, std::FILE* out) : form(form), out(out) {}
    void SetSize(int newColumns, int newRows);
    // Clears the screen once, then draws.
    void Show();
    void Update() override { Draw(); }
    void Draw();
    // Leaves the cursor below the drawing.
    void Finish();

private:
    const TForm1& form;
    std::FILE* out;
    int columns = 80;
    int rows = 24;
    int drawnRows = 0;
};
