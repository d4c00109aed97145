#include "decoder_options.h"

#include <atomic>

namespace lectavo {

namespace {

std::atomic<int32_t> symbolCount{0};
std::atomic<int32_t> effectLevel{3};
std::atomic<uint8_t> brightnessBorder{0};
std::atomic<uint8_t> minimumModuleSize{1};

}  // namespace

DecoderOptions CurrentOptions() {
    DecoderOptions options;
    options.symbolCount = symbolCount.load(std::memory_order_relaxed);
    options.effectLevel = effectLevel.load(std::memory_order_relaxed);
    options.brightnessBorder = brightnessBorder.load(std::memory_order_relaxed);
    options.minimumModuleSize = minimumModuleSize.load(std::memory_order_relaxed);
    return options;
}

void SetSymbolCount(int32_t count) {
    symbolCount.store(count < 0 ? 0 : count > 32 ? 32 : count, std::memory_order_relaxed);
}

void SetEffectLevel(int32_t level) { effectLevel.store(level < 0 || level > 3 ? 3 : level, std::memory_order_relaxed); }

void SetBrightnessBorder(int32_t level) {
    brightnessBorder.store(static_cast<uint8_t>(level & 0xFF), std::memory_order_relaxed);
}

void SetMinimumModuleSize(int32_t size) {
    const auto low = static_cast<uint8_t>(size & 0xFF);
    minimumModuleSize.store(low == 0 ? 1 : low, std::memory_order_relaxed);
}

}  // namespace lectavo
