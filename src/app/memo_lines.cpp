// The memo's line list.
#include "app/memo_lines.h"

static const char Break[] = "\r\n";

std::string AdjustLineBreaks(const std::string& text)
{
    std::string result;
    result.reserve(text.size() + 16);
    for (size_t i = 0; i < text.size(); ++i) {
        const char c = text[i];
        if (c != '\r' && c != '\n') {
            result += c;
            continue;
        }
        // A pair of different break characters is one break.
        const char next = i + 1 < text.size() ? text[i + 1] : 0;
        if ((next == '\r' || next == '\n') && next != c)
            ++i;
        result += Break;
    }
    return result;
}

static bool EndsWithBreak(const std::string& text)
{
    return text.size() >= 2 && text.compare(text.size() - 2, 2, Break) == 0;
}

int MemoLines::Count() const
{
    int pieces = 1;
    for (size_t at = text.find(Break); at != std::string::npos; at = text.find(Break, at + 2))
        ++pieces;
    // The piece after the last break is a line only when it holds something.
    if (text.empty() || EndsWithBreak(text))
        --pieces;
    return pieces;
}

size_t MemoLines::LineStart(int index) const
{
    if (index < 0 || index >= Count())
        return std::string::npos;
    size_t start = 0;
    for (int line = 0; line < index; ++line)
        start = text.find(Break, start) + 2;
    return start;
}

std::string MemoLines::Get(int index) const
{
    const size_t start = LineStart(index);
    if (start == std::string::npos)
        return std::string();
    return text.substr(start, text.find(Break, start) - start);
}

void MemoLines::Add(const std::string& line)
{
    const std::string adjusted = AdjustLineBreaks(line);
    if (text.empty() || EndsWithBreak(text))
        text += adjusted + Break;
    else
        text += Break + adjusted;
    if (listener)
        listener->LineAdded(adjusted);
}

void MemoLines::Put(int index, const std::string& line)
{
    const size_t start = LineStart(index);
    if (start == std::string::npos)
        return;
    const std::string adjusted = AdjustLineBreaks(line);
    const size_t end = text.find(Break, start);
    text.replace(start, end == std::string::npos ? std::string::npos : end - start, adjusted);
    if (listener)
        listener->LineReplaced(index, adjusted);
}

void MemoLines::SetText(const std::string& newText)
{
    text = AdjustLineBreaks(newText);
    if (listener)
        listener->TextReplaced(text);
}
