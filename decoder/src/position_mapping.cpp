#include "position_mapping.h"

#include <atomic>

namespace lectavo {

namespace {

std::atomic<int32_t> originX{0}, originY{0};
std::atomic<float> scaleX{1.0f}, scaleY{1.0f};

}  // namespace

PositionMapping CurrentMapping() {
    PositionMapping m;
    m.originX = originX.load(std::memory_order_relaxed);
    m.originY = originY.load(std::memory_order_relaxed);
    m.scaleX = scaleX.load(std::memory_order_relaxed);
    m.scaleY = scaleY.load(std::memory_order_relaxed);
    return m;
}

void SetMapping(const PositionMapping& m) {
    originX.store(m.originX, std::memory_order_relaxed);
    originY.store(m.originY, std::memory_order_relaxed);
    scaleX.store(m.scaleX, std::memory_order_relaxed);
    scaleY.store(m.scaleY, std::memory_order_relaxed);
}

int32_t ToPicture(int32_t coordinate, int32_t origin, float scale) {
    const int64_t shifted = static_cast<int64_t>(origin);
    if (scale == 1.0f || !(scale > 0.0f)) return static_cast<int32_t>(shifted + coordinate);
    return static_cast<int32_t>(shifted + static_cast<int64_t>(static_cast<double>(coordinate) / scale));
}

}  // namespace lectavo
