// Text encodings at the checker's edges: the system's texts are
// Windows-1252 bytes, a terminal or CI log expects UTF-8.
#pragma once

#include <string>

#include "platform/cp1252.h"  // Cp1252ToUtf8

// Length of the well-formed UTF-8 multi-byte sequence at `text` (2 to 4),
// or 0 when none starts there. `code` receives its code point.
int Utf8SequenceAt(const std::string& text, size_t position, unsigned& code);
