#include "api/symbol_text.h"

#include <string>

#include "codepage/code_page.h"

namespace lectavo {

namespace {

// Tab, line feed and carriage return pass; other C0 controls and DEL do not.
// C1 controls (U+0080-U+009F) are checked in UTF-8 form.
bool PrintableText(std::string_view utf8) {
    for (size_t i = 0; i < utf8.size(); ++i) {
        const auto c = static_cast<unsigned char>(utf8[i]);
        if ((c < 0x20 && c != '\t' && c != '\n' && c != '\r') || c == 0x7F) return false;
        if (c == 0xC2 && i + 1 < utf8.size() && static_cast<unsigned char>(utf8[i + 1]) < 0xA0) return false;
    }
    return true;
}

std::string Latin1ToUtf8(std::string_view bytes) {
    std::string text;
    text.reserve(bytes.size() * 2);
    for (const char ch : bytes) {
        const auto c = static_cast<unsigned char>(ch);
        if (c < 0x80) {
            text += ch;
        } else {
            text += static_cast<char>(0xC0 | (c >> 6));
            text += static_cast<char>(0x80 | (c & 0x3F));
        }
    }
    return text;
}

bool IsAscii(std::string_view bytes) {
    for (const char c : bytes)
        if (static_cast<unsigned char>(c) >= 0x80) return false;
    return true;
}

// Code page 936 to UTF-8, or nothing when a byte sequence is not valid there.
std::optional<std::string> GbkToUtf8(std::string_view bytes) {
    const int length = static_cast<int>(bytes.size());
    const int units = platform::MultiByteToWideChar(platform::kCodePageGbk, 0, bytes.data(), length, nullptr, 0);
    if (units <= 0) return std::nullopt;
    std::u16string wide(static_cast<size_t>(units), u'\0');
    platform::MultiByteToWideChar(platform::kCodePageGbk, 0, bytes.data(), length, wide.data(), units);
    if (wide.find(u'\uFFFD') != std::u16string::npos) return std::nullopt;
    const int size =
        platform::WideCharToMultiByte(platform::kCodePageUtf8, 0, wide.data(), units, nullptr, 0, nullptr, nullptr);
    if (size <= 0) return std::nullopt;
    std::string text(static_cast<size_t>(size), '\0');
    platform::WideCharToMultiByte(platform::kCodePageUtf8, 0, wide.data(), units, text.data(), size, nullptr, nullptr);
    return text;
}

}  // namespace

bool IsValidUtf8(std::string_view bytes) {
    size_t i = 0;
    while (i < bytes.size()) {
        const auto c = static_cast<unsigned char>(bytes[i]);
        int more = 0;
        uint32_t code = c;
        if (c < 0x80) {
            more = 0;
        } else if (c >= 0xC2 && c <= 0xDF) {
            more = 1, code = c & 0x1F;
        } else if (c >= 0xE0 && c <= 0xEF) {
            more = 2, code = c & 0x0F;
        } else if (c >= 0xF0 && c <= 0xF4) {
            more = 3, code = c & 0x07;
        } else {
            return false;
        }
        if (more > 0 && i + more >= bytes.size()) return false;
        for (int k = 1; k <= more; ++k) {
            const auto next = static_cast<unsigned char>(bytes[i + k]);
            if ((next & 0xC0) != 0x80) return false;
            code = (code << 6) | (next & 0x3F);
        }
        // Overlong forms, surrogates and code points past U+10FFFF.
        if ((more == 2 && code < 0x800) || (more == 3 && (code < 0x10000 || code > 0x10FFFF)) ||
            (code >= 0xD800 && code <= 0xDFFF))
            return false;
        i += static_cast<size_t>(more) + 1;
    }
    return true;
}

std::optional<std::string> TextOfData(std::string_view bytes, int32_t eci) {
    // A zero byte marks binary data: no text format carries one.
    if (bytes.find('\0') != std::string_view::npos) return std::nullopt;
    if (IsValidUtf8(bytes)) return std::string(bytes);
    if (eci == 1 || eci == 3) return Latin1ToUtf8(bytes);
    if ((eci == 27 || eci == 170) && IsAscii(bytes)) return std::string(bytes);
    // Without a designator code page 936 is a guess; binary data often form
    // valid GBK byte pairs, but seldom without control characters.
    std::optional<std::string> text = GbkToUtf8(bytes);
    if (text && !PrintableText(*text)) return std::nullopt;
    return text;
}

}  // namespace lectavo
