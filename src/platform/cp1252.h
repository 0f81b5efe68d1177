// Windows-1252 to UTF-8, for front ends that show the system's texts on a
// UTF-8 terminal. The system itself never converts: its texts stay 1252.
#pragma once

#include <cstdint>
#include <string>

// The Unicode code point of each of the 256 bytes. The five bytes that 1252
// leaves undefined (81, 8D, 8F, 90, 9D) stand for the control code points of
// the same number, as Windows converts them.
uint32_t Cp1252CodePoint(unsigned char byte);

// The whole text converted to UTF-8.
std::string Cp1252ToUtf8(const std::string& text);

// A text for showing: converted to UTF-8, CR LF (and a lone CR) as LF, and
// every other control character as U+FFFD, so that no byte of a text can
// steer the terminal. A tab stays a tab when `keepTabs`, else it is a blank.
std::string DisplayText(const std::string& text, bool keepTabs);
