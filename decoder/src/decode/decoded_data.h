// What the decoding of one symbol's modules yields: its data bytes and
// structured-append fields, or the reason it failed.
#pragma once

#include <cstdint>

namespace lectavo {

inline constexpr int kMaxDataBytes = 7089;  // numeric digits of a 40-L symbol
inline constexpr int kMaxCodewords = 3706;  // all codewords of a version 40 symbol

enum class DecodeStatus {
    kOk,
    kCodewordsFailed,    // bad grid shape, or a block that could not be corrected
    kSegmentsInvalid,    // unknown or refused mode, bad character, or no data
    kGeometryDegenerate  // the sampler could not place the module grid
};

struct DecodedData {
    int32_t length = 0;
    uint8_t bytes[kMaxDataBytes + 1] = {};  // data bytes then a terminating 0
    // Structured append, when the stream starts with its header.
    int32_t sequencePosition = 0;
    int32_t sequenceTotal = 0;
    uint8_t sequenceParity = 0;
    // Read only when ECI and FNC1 segments are read: the first ECI
    // designator (-1 without one) and FNC1 in first position (GS1).
    int32_t eci = -1;
    bool gs1 = false;

    // Empties the record for the next symbol without clearing every byte.
    void Reset() {
        length = 0;
        bytes[0] = 0;
        sequencePosition = sequenceTotal = 0;
        sequenceParity = 0;
        eci = -1;
        gs1 = false;
    }
};

}  // namespace lectavo
