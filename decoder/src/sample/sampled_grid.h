#pragma once
#include <array>
#include <cstdint>
namespace lectavo {
inline constexpr int kMaxSide = 177;
// A symbol's modules as read from a picture, [row][column], 1 = dark.
struct SampledGrid {
    int side = 0;                                        // 17 + 4 * version
    int version = 0;                                     // 1-40
    int level = 0;                                       // 0 = L, 1 = M, 2 = Q, 3 = H
    int mask = 0;                                        // 0-7
    std::array<uint8_t, kMaxSide * kMaxSide> modules{};  // index row * side + column
    uint8_t At(int row, int column) const { return modules[row * side + column]; }
};
}  // namespace lectavo
