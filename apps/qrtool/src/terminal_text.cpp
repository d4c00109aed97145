#include "terminal_text.h"

#include <cstdio>

#include "text_format.h"

namespace qrtool {
namespace {

void AppendEscape(std::string& out, const char* format, unsigned value) {
    char buf[16];
    std::snprintf(buf, sizeof buf, format, value);
    out += buf;
}

}  // namespace

std::string EscapeForTerminal(std::string_view bytes) {
    std::string out;
    out.reserve(bytes.size());
    for (size_t i = 0; i < bytes.size();) {
        const unsigned char c = static_cast<unsigned char>(bytes[i]);
        const size_t len = Utf8SequenceLength(bytes, i);
        if (len == 2 && c == 0xC2 && static_cast<unsigned char>(bytes[i + 1]) < 0xA0) {
            AppendEscape(out, "\\u%04X", static_cast<unsigned char>(bytes[i + 1]));  // C1: U+0080-U+009F
        } else if (len > 1) {
            out.append(bytes.substr(i, len));
        } else if (c == '\n') {
            out += "\\n";
        } else if (c == '\r') {
            out += "\\r";
        } else if (c == '\t') {
            out += "\\t";
        } else if (c == '\\') {
            out += "\\\\";
        } else if (c < 0x20 || c >= 0x7F) {
            AppendEscape(out, "\\x%02X", c);
        } else {
            out += static_cast<char>(c);
        }
        i += len > 1 ? len : 1;
    }
    return out;
}

}  // namespace qrtool
