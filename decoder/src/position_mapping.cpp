#include "position_mapping.h"

namespace lectavo {

int32_t ToPicture(int32_t coordinate, int32_t origin, float scale) {
    const int64_t shifted = static_cast<int64_t>(origin);
    if (scale == 1.0f || !(scale > 0.0f)) return static_cast<int32_t>(shifted + coordinate);
    return static_cast<int32_t>(shifted + static_cast<int64_t>(static_cast<double>(coordinate) / scale));
}

}  // namespace lectavo
