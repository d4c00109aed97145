// The process-wide options every decode call reads. Plain values without a
// lock in meaning; stored atomically only so that a setter racing a decode in
// another thread is not undefined behaviour.
#pragma once

#include <cstdint>

namespace lectavo {

// A symbol count beyond any picture's: every symbol the call can find. The C
// interface caps the count at 32; the C++ interface asks for this.
inline constexpr int32_t kEverySymbol = 1 << 20;

struct DecoderOptions {
    int32_t symbolCount = 0;        // 0 = stop at the first plane that yields a symbol
    int32_t effectLevel = 3;        // bit 0: vote pass, bit 1: block pass
    uint8_t brightnessBorder = 0;   // 0 = use the computed threshold
    uint8_t minimumModuleSize = 1;  // 1-255
    bool photoStage = true;         // the second stage may run (at effect level 3)
};

// A snapshot of the current options.
DecoderOptions CurrentOptions();

void SetSymbolCount(int32_t count);       // < 0 -> 0, > 32 -> 32
void SetEffectLevel(int32_t level);       // outside 0-3 -> 3
void SetBrightnessBorder(int32_t level);  // low byte
void SetMinimumModuleSize(int32_t size);  // low byte, 0 -> 1

}  // namespace lectavo
