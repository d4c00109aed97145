// The codeword bits of a version in placement order: for each bit, the
// module it is read from and which of the eight masks invert that module.
// Built once per version on first use and shared by every thread, so reading
// a grid's codewords is one table walk instead of a walk of the function map.
#pragma once

#include <cstdint>
#include <vector>

namespace lectavo {

struct PlacementOrder {
    std::vector<uint16_t> modules;  // row * side + column, one per codeword bit
    std::vector<uint8_t> masks;     // bit m set where mask m inverts that module
};

// The order of `version` (1-40), covering the version's total codewords;
// remainder bits are left out.
const PlacementOrder& PlacementOrderOf(int version);

}  // namespace lectavo
