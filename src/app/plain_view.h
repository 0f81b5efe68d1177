// The front end's view when standard output is not a terminal: it draws
// nothing and writes plain lines instead, in UTF-8 with LF line ends:
// each line added to Memo1 as it is added, each replacement of a line as a
// new line, and the whole text when the text is set (the report).
#pragma once

#include <cstdio>

#include "app/form.h"

class PlainView : public FormView {
public:
    explicit PlainView(std::FILE* out) : out(out) {}
    // The window is shown: writes what Memo1 holds already ("Start").
    void Show(const TForm1& form) { Write(form.Memo1.Lines.Text()); }

    void LineAdded(const std::string& line) override { Write(line); }
    void LineReplaced(int, const std::string& line) override { Write(line); }
    void TextReplaced(const std::string& text) override { Write(text); }

private:
    // An empty text adds no visible line and writes nothing.
    void Write(const std::string& text);

    std::FILE* out;
};
