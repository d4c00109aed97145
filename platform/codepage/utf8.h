// UTF-8 <-> UTF-16 conversion with the replacement rules of code page 65001.
#pragma once

#include <string>
#include <string_view>

namespace platform::detail {

std::u16string Utf8ToUtf16(std::string_view bytes);
std::string Utf16ToUtf8(std::u16string_view units);

}  // namespace platform::detail
