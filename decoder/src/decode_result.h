// One decoded symbol as the getters report it.
#pragma once

#include <cstdint>

#include "decode/decoded_data.h"

namespace lectavo {

enum class FoundBy : uint8_t { kBinaryPasses, kPhotoStage };

// Every field not set by the reading stage is zero.
struct DecodeResult {
    int32_t version = 0;
    int32_t level = 0;
    int32_t mask = 0;
    int32_t dataLength = 0;
    uint8_t data[kMaxDataBytes + 1] = {};  // data bytes then a terminating 0
    int32_t sequencePosition = 0;
    int32_t sequenceTotal = 0;
    uint8_t sequenceParity = 0;
    int32_t corners[4][2] = {};  // TL, TR, BR, BL as (x, y)

    // Beyond what the C getters report: the corners before rounding, the
    // first ECI designator (-1: none), FNC1 in first position, how the
    // symbol lay, and which search found it.
    float exactCorners[4][2] = {};
    int32_t eci = -1;
    bool gs1 = false;
    bool mirrored = false;
    bool inverted = false;
    FoundBy foundBy = FoundBy::kBinaryPasses;
};

}  // namespace lectavo
