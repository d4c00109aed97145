// The module matrix the encoder builds, masks and draws.
#pragma once

#include <cstdint>

#include "common/symbol_layout.h"

namespace mosaire {

inline constexpr int kMaxSide = qrcommon::kMaxSide;

// The symbol's module grid in the standard orientation (finders top-left,
// top-right, bottom-left); row 0 at the top, column 0 at the left.
struct ModuleMatrix {
    int side = 0;
    uint8_t value[kMaxSide][kMaxSide];   // 1 dark, 0 light
    uint8_t isData[kMaxSide][kMaxSide];  // 1 encoding region, 0 function module
};

}  // namespace mosaire
