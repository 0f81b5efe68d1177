// Plain-line output of the status window.
#include "app/plain_view.h"

#include "platform/cp1252.h"

void PlainView::Write(const std::string& text)
{
    if (text.empty())
        return;
    std::string shown = DisplayText(text, true);
    if (shown.back() != '\n')
        shown += '\n';
    std::fwrite(shown.data(), 1, shown.size(), out);
    std::fflush(out);
}
