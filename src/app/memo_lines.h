// The line list of the memo (its `Lines`), with the semantics of the
// platform's memo control.
//
// The memo holds one text whose line breaks are CR LF. Every text put into it
// first has its line breaks adjusted: CR LF, a lone LF, a lone CR and LF CR
// each become one CR LF, so the stored text only ever breaks at CR LF.
// The lines are the pieces between the breaks; an empty last piece (a text
// ending in a line break, or the empty text) is not counted. Hence:
//   - Add on a text that ends in a break (or is empty) appends text + CR LF;
//     on any other text it appends CR LF + text.
//   - Put replaces the characters of one counted line, not its break.
// A listener (the front end) hears of every change.
#pragma once

#include <string>

class MemoListener {
public:
    virtual ~MemoListener() = default;
    virtual void LineAdded(const std::string& /*line*/) {}
    virtual void LineReplaced(int /*index*/, const std::string& /*line*/) {}
    virtual void TextReplaced(const std::string& /*text*/) {}
};

// Turns every line break of `text` (CR LF, LF, CR, LF CR) into CR LF.
std::string AdjustLineBreaks(const std::string& text);

class MemoLines {
public:
    int Count() const;
    // Line `index` (0 to Count - 1); the empty text for any other index.
    std::string Get(int index) const;
    void Add(const std::string& line);
    // Replaces line `index`; an index outside 0 to Count - 1 changes nothing.
    void Put(int index, const std::string& line);
    const std::string& Text() const { return text; }
    void SetText(const std::string& newText);

    void SetListener(MemoListener* newListener) { listener = newListener; }

private:
    // Start of line `index` in the text, or npos when there is no such line.
    size_t LineStart(int index) const;

    std::string text;
    MemoListener* listener = nullptr;
};
