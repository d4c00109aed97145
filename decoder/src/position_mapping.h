// How coordinates in the decoded image map back to picture pixels: the
// rectangle's top-left corner and the resampling scales. Each decode call
// keeps its own with the thread's results; the position getter reads it.
#pragma once

#include <cstdint>

namespace lectavo {

struct PositionMapping {
    int32_t originX = 0, originY = 0;
    float scaleX = 1.0f, scaleY = 1.0f;
};

// Picture coordinate of a decoded-image coordinate along one axis: the
// coordinate is divided by the scale (truncated toward zero), then the origin
// is added.
int32_t ToPicture(int32_t coordinate, int32_t origin, float scale);

}  // namespace lectavo
