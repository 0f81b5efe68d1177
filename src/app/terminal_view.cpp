// Drawing the status window in a terminal.
//
// Texts are cut to the width in Windows-1252 characters (one byte each)
// before they are converted to UTF-8, so every row fits its cells.
#include "app/terminal_view.h"

#include <algorithm>

#include "platform/cp1252.h"

constexpr int LabelColumn = 11;  // labels end here, right-aligned as in the window
constexpr int FixedRows = 10;    // rows besides the text area's lines
constexpr int MinimumMemoRows = 3;

static std::string Fit(const std::string& text, int width)
{
    if (width <= 0)
        return std::string();
    std::string cut = text.substr(0, static_cast<size_t>(width));
    cut.resize(static_cast<size_t>(width), ' ');
    return DisplayText(cut, false);
}

static std::string FieldRow(const TLabel& label, const TEdit& edit, int columns)
{
    std::string caption = label.Caption;
    if (static_cast<int>(caption.size()) < LabelColumn)
        caption.insert(0, LabelColumn - caption.size(), ' ');
    return Fit(caption + " [" + edit.Text, columns - 1) + (columns > 0 ? "]" : "");
}

// The counted lines of the memo, in order.
static std::vector<std::string> MemoRows(const MemoLines& lines)
{
    std::vector<std::string> result;
    const std::string& text = lines.Text();
    size_t start = 0;
    while (start < text.size()) {
        size_t end = text.find("\r\n", start);
        if (end == std::string::npos)
            end = text.size();
        result.push_back(text.substr(start, end - start));
        start = end + 2;
    }
    return result;
}

std::vector<std::string> RenderForm(const TForm1& form, int columns, int rows)
{
    columns = std::max(columns, 20);
    std::vector<std::string> screen;
    screen.push_back(Fit(form.Caption, columns));
    screen.push_back(std::string(static_cast<size_t>(columns), '='));
    screen.push_back(FieldRow(form.Label1, form.Edit1, columns));
    screen.push_back(FieldRow(form.Label2, form.Edit2, columns));
    screen.push_back(FieldRow(form.Label3, form.Edit3, columns));
    screen.push_back(FieldRow(form.Label4, form.Edit4, columns));

    const std::string halt = form.Button1.Visible ? " [ " + form.Button1.Caption + " ]" : "";
    screen.push_back(Fit(" " + form.Label5.Caption, columns - static_cast<int>(halt.size())) + halt);

    const std::string border = "+" + std::string(static_cast<size_t>(columns - 2), '-') + "+";
    screen.push_back(border);
    const std::vector<std::string> lines = MemoRows(form.Memo1.Lines);
    const int memoRows = std::max(rows - FixedRows, MinimumMemoRows);
    // The text area follows its end, as the memo scrolls to each added line.
    const size_t first = lines.size() > static_cast<size_t>(memoRows) ? lines.size() - memoRows : 0;
    for (int row = 0; row < memoRows; ++row) {
        const size_t index = first + static_cast<size_t>(row);
        screen.push_back("|" + Fit(index < lines.size() ? lines[index] : "", columns - 2) + "|");
    }
    screen.push_back(border);
    const std::string keys = form.Button1.Visible ? " h = Halt   q = Schlie\xdf" "en" : " q = Schlie\xdf" "en";
    screen.push_back(Fit(keys, columns));
    return screen;
}

void TerminalView::SetSize(int newColumns, int newRows)
{
    if (newColumns > 0)
        columns = newColumns;
    if (newRows > 0)
        rows = newRows;
}

void TerminalView::Show()
{
    std::fputs("\x1b[H\x1b[2J", out);
    Draw();
}

void TerminalView::Draw()
{
    // Home, then each row over the old one, then clear below.
    std::string frame = "\x1b[H";
    const std::vector<std::string> screen = RenderForm(form, columns, rows - 1);
    for (const std::string& row : screen)
        frame += row + "\x1b[K\r\n";
    frame += "\x1b[J";
    drawnRows = static_cast<int>(screen.size());
    std::fwrite(frame.data(), 1, frame.size(), out);
    std::fflush(out);
}

void TerminalView::Finish()
{
    std::fprintf(out, "\x1b[%d;1H", drawnRows + 1);
    std::fflush(out);
}
