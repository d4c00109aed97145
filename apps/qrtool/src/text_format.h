// Turning decoded bytes into printable text and JSON strings.
#pragma once

#include <string>
#include <string_view>

namespace qrtool {

bool IsValidUtf8(std::string_view bytes);

// Printable form for the terminal: valid UTF-8 stays as it is except that
// control characters and backslashes are escaped (\n, \r, \t, \\, \xNN);
// other bytes are escaped as \xNN.
std::string EscapeForTerminal(std::string_view bytes);

// A JSON string literal (with quotes) of valid UTF-8 text.
std::string JsonString(std::string_view utf8);

std::string Hex(std::string_view bytes);

}  // namespace qrtool
