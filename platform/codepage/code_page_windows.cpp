#include <windows.h>

#include "codepage/code_page.h"

namespace platform {

int MultiByteToWideChar(unsigned code_page, unsigned flags, const char* source, int source_length,
                        char16_t* destination, int destination_capacity) {
    return ::MultiByteToWideChar(code_page, flags, source, source_length, reinterpret_cast<wchar_t*>(destination),
                                 destination_capacity);
}

int WideCharToMultiByte(unsigned code_page, unsigned flags, const char16_t* source, int source_length,
                        char* destination, int destination_capacity, const char* default_char,
                        bool* used_default_char) {
    // The system refuses a default character for UTF-8.
    const bool utf8 = code_page == CP_UTF8;
    BOOL used = FALSE;
    const int n =
        ::WideCharToMultiByte(code_page, flags, reinterpret_cast<const wchar_t*>(source), source_length, destination,
                              destination_capacity, utf8 ? nullptr : default_char, utf8 ? nullptr : &used);
    if (used_default_char != nullptr) *used_default_char = used != FALSE;
    return n;
}

}  // namespace platform
