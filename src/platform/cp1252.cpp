// Windows-1252 to UTF-8.
#include "platform/cp1252.h"

// Code points of the bytes 80 to 9F; the rest of the code page matches
// Latin-1 byte for byte.
static const uint16_t HighControls[32] = {
    0x20AC, 0x0081, 0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021,  // 80-87
    0x02C6, 0x2030, 0x0160, 0x2039, 0x0152, 0x008D, 0x017D, 0x008F,  // 88-8F
    0x0090, 0x2018, 0x2019, 0x201C, 0x201D, 0x2022, 0x2013, 0x2014,  // 90-97
    0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0x009D, 0x017E, 0x0178,  // 98-9F
};

uint32_t Cp1252CodePoint(unsigned char byte)
{
    if (byte >= 0x80 && byte <= 0x9F)
        return HighControls[byte - 0x80];
    return byte;
}

static void PutUtf8(std::string& out, uint32_t codePoint)
{
    if (codePoint < 0x80) {
        out += static_cast<char>(codePoint);
    } else if (codePoint < 0x800) {
        out += static_cast<char>(0xC0 | (codePoint >> 6));
        out += static_cast<char>(0x80 | (codePoint & 0x3F));
    } else {
        out += static_cast<char>(0xE0 | (codePoint >> 12));
        out += static_cast<char>(0x80 | ((codePoint >> 6) & 0x3F));
        out += static_cast<char>(0x80 | (codePoint & 0x3F));
    }
}

std::string Cp1252ToUtf8(const std::string& text)
{
    std::string out;
    out.reserve(text.size() + text.size() / 4);
    for (unsigned char byte : text)
        PutUtf8(out, Cp1252CodePoint(byte));
    return out;
}

static bool IsControl(uint32_t codePoint)
{
    return codePoint < 0x20 || (codePoint >= 0x7F && codePoint <= 0x9F);
}

std::string DisplayText(const std::string& text, bool keepTabs)
{
    std::string out;
    out.reserve(text.size() + text.size() / 4);
    for (size_t i = 0; i < text.size(); ++i) {
        const unsigned char byte = static_cast<unsigned char>(text[i]);
        const uint32_t codePoint = Cp1252CodePoint(byte);
        if (byte == '\r') {
            if (i + 1 < text.size() && text[i + 1] == '\n')
                continue;
            out += '\n';
        } else if (byte == '\n') {
            out += '\n';
        } else if (byte == '\t') {
            out += keepTabs ? '\t' : ' ';
        } else if (IsControl(codePoint)) {
            PutUtf8(out, 0xFFFD);
        } else {
            PutUtf8(out, codePoint);
        }
    }
    return out;
}
