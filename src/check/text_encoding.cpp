// Recognising UTF-8 sequences in a script that should be Windows-1252.
#include "check/text_encoding.h"

int Utf8SequenceAt(const std::string& text, size_t position, unsigned& code)
{
    const unsigned char lead = static_cast<unsigned char>(text[position]);
    int length;
    unsigned minimum;
    if (lead >= 0xC2 && lead <= 0xDF) {
        length = 2, minimum = 0x80, code = lead & 0x1F;
    } else if (lead >= 0xE0 && lead <= 0xEF) {
        length = 3, minimum = 0x800, code = lead & 0x0F;
    } else if (lead >= 0xF0 && lead <= 0xF4) {
        length = 4, minimum = 0x10000, code = lead & 0x07;
    } else {
        return 0;
    }
    if (position + length > text.size())
        return 0;
    for (int i = 1; i < length; i++) {
        const unsigned char next = static_cast<unsigned char>(text[position + i]);
        if ((next & 0xC0) != 0x80)
            return 0;
        code = (code << 6) | (next & 0x3F);
    }
    if (code < minimum || code > 0x10FFFF || (code >= 0xD800 && code <= 0xDFFF))
        return 0;
    return length;
}
