// The text a symbol's data bytes stand for, as UTF-8, when they are text.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

namespace lectavo {

bool IsValidUtf8(std::string_view bytes);

// Nothing for data holding a zero byte. Otherwise valid UTF-8 as it stands; ISO 8859-1 (ECI 1 or 3) or ASCII (ECI 27 or
// 170) where the designator says so; otherwise code page 936 where every
// byte sequence is valid there and the text holds no control characters
// other than tab, line feed and carriage return.
std::optional<std::string> TextOfData(std::string_view bytes, int32_t eci);

}  // namespace lectavo
