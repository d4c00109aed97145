// Code page 936 <-> UTF-16 conversion over iconv.
#pragma once

#include <string>
#include <string_view>

namespace platform::detail {

// Invalid or truncated byte sequences become U+FFFD.
std::u16string GbkToUtf16(std::string_view bytes);

// Each unit without a code page 936 form becomes `default_byte`; sets
// `*used_default` when that happened.
std::string Utf16ToGbk(std::u16string_view units, char default_byte, bool* used_default);

}  // namespace platform::detail
