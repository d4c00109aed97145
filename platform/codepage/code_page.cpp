#include "codepage/code_page.h"

#include <cstring>
#include <string>

#include "codepage/gbk.h"
#include "codepage/utf8.h"

namespace platform {
namespace {

// Length of the source in units, with -1 meaning "zero-terminated,
// terminator included"; -1 for bad arguments.
template <typename Unit>
long SourceLength(const Unit* source, int length) {
    if (source == nullptr || length == 0 || length < -1) return -1;
    if (length > 0) return length;
    long n = 0;
    while (source[n] != 0) ++n;
    return n + 1;
}

// The two-call protocol: report the size, or copy when it fits.
template <typename Text, typename Unit>
int Deliver(const Text& result, Unit* destination, int capacity) {
    if (result.size() > static_cast<size_t>(INT32_MAX)) return 0;
    const int size = static_cast<int>(result.size());
    if (destination == nullptr || capacity <= 0) return capacity == 0 ? size : 0;
    if (capacity < size) return 0;
    std::memcpy(destination, result.data(), result.size() * sizeof(Unit));
    return size;
}

}  // namespace

int MultiByteToWideChar(unsigned code_page, unsigned /*flags*/, const char* source, int source_length,
                        char16_t* destination, int destination_capacity) {
    const long n = SourceLength(source, source_length);
    if (n < 0 || destination_capacity < 0) return 0;
    const std::string_view bytes(source, static_cast<size_t>(n));
    std::u16string result;
    if (code_page == kCodePageUtf8) {
        result = detail::Utf8ToUtf16(bytes);
    } else if (code_page == kCodePageGbk) {
        result = detail::GbkToUtf16(bytes);
    } else {
        return 0;
    }
    return Deliver(result, destination, destination_capacity);
}

int WideCharToMultiByte(unsigned code_page, unsigned /*flags*/, const char16_t* source, int source_length,
                        char* destination, int destination_capacity, const char* default_char,
                        bool* used_default_char) {
    if (used_default_char != nullptr) *used_default_char = false;
    const long n = SourceLength(source, source_length);
    if (n < 0 || destination_capacity < 0) return 0;
    const std::u16string_view units(source, static_cast<size_t>(n));
    std::string result;
    if (code_page == kCodePageUtf8) {
        result = detail::Utf16ToUtf8(units);
    } else if (code_page == kCodePageGbk) {
        const char fallback = default_char != nullptr ? default_char[0] : '?';
        result = detail::Utf16ToGbk(units, fallback, used_default_char);
    } else {
        return 0;
    }
    return Deliver(result, destination, destination_capacity);
}

}  // namespace platform
