// Negative return codes of the decode calls.
#pragma once

namespace lectavo {

inline constexpr int kFileNotFound = -1;
inline constexpr int kUnreadable = -3;
inline constexpr int kSharingViolation = -4;
inline constexpr int kOutOfMemory = -5;

}  // namespace lectavo
