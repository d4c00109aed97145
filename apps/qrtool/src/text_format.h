// Turning decoded bytes into printable text and JSON strings.
#pragma once

#include <string>
#include <string_view>

#include "terminal_text.h"

namespace qrtool {

bool IsValidUtf8(std::string_view bytes);

// Length of the UTF-8 sequence starting at bytes[i], or 0 when it is invalid.
size_t Utf8SequenceLength(std::string_view bytes, size_t i);

// A JSON string literal (with quotes) of valid UTF-8 text; every control
// character (C0, DEL, C1) is written as a \u escape, so the literal reads
// back as the same text.
std::string JsonString(std::string_view utf8);

std::string Hex(std::string_view bytes);

}  // namespace qrtool
