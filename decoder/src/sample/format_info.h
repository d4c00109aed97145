// Correction of format and version words read off a symbol, and the fields
// of a corrected format word. Pure functions: any reader (on a plane or on
// a grid) can use them.
#pragma once

#include <cstdint>

namespace lectavo {

// Replaces a 15-bit format word (mask 0x5412 already removed) by the nearest
// valid codeword within 2 bit errors, trying the data values 0-31 in order;
// false when none is that near.
bool CorrectFormatWord(uint32_t& word);

// The same for an 18-bit version word, versions 7-40.
bool CorrectVersionWord(uint32_t& word);

// Level (0 = L, 1 = M, 2 = Q, 3 = H) and mask of a corrected format word.
inline int FormatLevel(uint32_t word) {
    // Level indicator 01 -> L, 00 -> M, 11 -> Q, 10 -> H.
    static constexpr int kLevelOfIndicator[4] = {1, 0, 3, 2};
    return kLevelOfIndicator[(word >> 13) & 3];
}
inline int FormatMask(uint32_t word) { return static_cast<int>((word >> 10) & 7); }

// The version of a corrected version word.
inline int VersionOfWord(uint32_t word) { return static_cast<int>(word >> 12); }

}  // namespace lectavo
