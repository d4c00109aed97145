// Correction of format and version words read off a symbol, and the fields
// of a corrected format word. Pure functions: any reader (on a plane or on
// a grid) can use them.
#pragma once

#include <cstdint>

#include "common/symbol_layout.h"

namespace lectavo {

// Replaces a 15-bit format word (mask 0x5412 already removed) by the nearest
// valid codeword within 2 bit errors, trying the data values 0-31 in order;
// false when none is that near.
bool CorrectFormatWord(uint32_t& word);

// The same for an 18-bit version word, versions 7-40.
bool CorrectVersionWord(uint32_t& word);

// Level (0 = L, 1 = M, 2 = Q, 3 = H) and mask of a corrected format word.
inline int FormatLevel(uint32_t word) { return qrcommon::LevelIndicator(static_cast<int>(word >> 13)); }
inline int FormatMask(uint32_t word) { return static_cast<int>((word >> 10) & 7); }

}  // namespace lectavo
