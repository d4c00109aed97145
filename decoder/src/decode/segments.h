// Decoding of the data bit stream into the symbol's raw bytes: numeric,
// alphanumeric, 8-bit byte and Kanji segments (Kanji as two-byte Shift JIS),
// with no character-set conversion. ECI designators and FNC1 are either
// refused (the stream yields nothing) or read, as the caller asks.
#pragma once

#include <cstdint>

#include "decode/decoded_data.h"

namespace lectavo {

// `count` bits (at most 32) from bit `position`, most significant first.
uint32_t ReadBits(int position, int count, const uint8_t* data);

// Decodes the segments of `length` data codewords of a `version` symbol,
// after the 20-bit structured-append header when `withHeader`. On success
// `out` holds the bytes; on failure `out` is unchanged. Without
// `readEciAndFnc1` a stream holding an ECI or FNC1 indicator yields nothing;
// with it ECI designators are skipped and FNC1 data follow the GS1 and AIM
// conventions (GS for "%" in alphanumeric segments, the application
// indicator of FNC1 in second position at the front).
bool DecodeSegments(const uint8_t* codewords, int length, int version, bool withHeader, bool readEciAndFnc1,
                    DecodedData& out);

}  // namespace lectavo
