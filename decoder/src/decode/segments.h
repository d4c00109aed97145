// Decoding of the data bit stream into the symbol's raw bytes: numeric,
// alphanumeric, 8-bit byte and Kanji segments (Kanji as two-byte Shift JIS),
// with no character-set conversion.
#pragma once

#include <cstdint>

#include "decode/decoded_data.h"

namespace lectavo {

// `count` bits (at most 32) from bit `position`, most significant first.
uint32_t ReadBits(int position, int count, const uint8_t* data);

// Decodes the segments of `length` data codewords of a `version` symbol,
// after the 20-bit structured-append header when `withHeader`. On success
// `out` holds the bytes; on failure `out` is unchanged.
bool DecodeSegments(const uint8_t* codewords, int length, int version, bool withHeader, DecodedData& out);

}  // namespace lectavo
