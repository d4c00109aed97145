// A symbol's modules as read from a picture: the value a sampler hands to the
// decoding stage.
#pragma once

#include <array>
#include <cstdint>

#include "common/symbol_layout.h"

namespace lectavo {

inline constexpr int kMaxSide = qrcommon::kMaxSide;

// [row][column], 1 = dark. Modules are as read, still masked.
struct SampledGrid {
    int side = 0;                                        // 17 + 4 * version
    int version = 0;                                     // 1-40
    int level = 0;                                       // 0 = L, 1 = M, 2 = Q, 3 = H
    int mask = 0;                                        // 0-7
    bool mirrored = false;                               // read transposed
    bool inverted = false;                               // light modules on dark
    std::array<uint8_t, kMaxSide * kMaxSide> modules{};  // index row * side + column

    uint8_t At(int row, int column) const { return modules[row * side + column]; }
    uint8_t& At(int row, int column) { return modules[row * side + column]; }
};

}  // namespace lectavo
