// EncodeSymbol: message and settings in, finished module matrix out.
#pragma once

#include <cstdint>
#include <memory>

#include "settings.h"

namespace mosaire {

inline constexpr int kMaxSide = 177;

// The symbol's module grid in the standard orientation (finders top-left,
// top-right, bottom-left); row 0 at the top, column 0 at the left.
struct ModuleMatrix {
    int side = 0;
    uint8_t value[kMaxSide][kMaxSide];   // 1 dark, 0 light
    uint8_t isData[kMaxSide][kMaxSide];  // 1 encoding region, 0 function module
};

// Encodes settings.message with settings.version/ecLevel/maskSetting.
// On success returns the finished matrix and updates working.symbolVersion,
// working.dataMode and working.maskUsed. Returns null when the message does
// not fit version 40 at the chosen level (working.symbolVersion is then 41).
std::unique_ptr<ModuleMatrix> EncodeSymbol(const EncoderSettings& settings, WorkingValues& working);

}  // namespace mosaire
