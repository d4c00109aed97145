// How coordinates in the decoded image map back to picture pixels: the
// rectangle's top-left corner and the resampling scales. Process-wide,
// written by every decode call, read by the position getter.
#pragma once

#include <cstdint>

namespace lectavo {

struct PositionMapping {
    int32_t originX = 0, originY = 0;
    float scaleX = 1.0f, scaleY = 1.0f;
};

PositionMapping CurrentMapping();
void SetMapping(const PositionMapping& mapping);

// Picture coordinate of a decoded-image coordinate along one axis: the
// origin is added, then the sum is divided by the scale (truncated toward
// zero) unless the scale is exactly 1.
int32_t ToPicture(int32_t coordinate, int32_t origin, float scale);

}  // namespace lectavo
