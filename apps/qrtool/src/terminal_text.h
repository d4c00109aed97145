// Bytes from outside (decoded data, file names) made safe to print on a
// terminal.
#pragma once

#include <string>
#include <string_view>

namespace qrtool {

// Printable form for the terminal, holding nothing a terminal acts on:
// valid UTF-8 stays as it is except that control characters are escaped
// (\n, \r, \t, other C0 characters and DEL as \xNN, C1 characters U+0080 to
// U+009F as \uNNNN) and backslashes doubled; bytes that are not valid UTF-8
// are escaped as \xNN. An escape sequence so loses its ESC (\x1B).
std::string EscapeForTerminal(std::string_view bytes);

}  // namespace qrtool
