// The process-wide options every decode call reads. Plain values without a
// lock in meaning; stored atomically only so that a setter racing a decode in
// another thread is not undefined behaviour.
#pragma once

#include <cstdint>

namespace lectavo {

struct DecoderOptions {
    int32_t symbolCount = 0;        // 0-32; 0 = stop at the first plane that yields a symbol
    int32_t effectLevel = 3;        // bit 0: vote pass, bit 1: block pass
    uint8_t brightnessBorder = 0;   // 0 = use the computed threshold
    uint8_t minimumModuleSize = 1;  // 1-255
};

// A snapshot of the current options.
DecoderOptions CurrentOptions();

void SetSymbolCount(int32_t count);       // < 0 -> 0, > 32 -> 32
void SetEffectLevel(int32_t level);       // outside 0-3 -> 3
void SetBrightnessBorder(int32_t level);  // low byte
void SetMinimumModuleSize(int32_t size);  // low byte, 0 -> 1

}  // namespace lectavo
