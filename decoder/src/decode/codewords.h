// From a sampled grid to the corrected data codewords: reading the codeword
// bits in placement order with the mask removed, splitting them into
// Reed-Solomon blocks, correcting each block and keeping the data codewords.
#pragma once

#include <cstdint>
#include <vector>

#include "common/symbol_layout.h"
#include "decode/decoded_data.h"
#include "core/sampled_grid.h"

namespace lectavo {

// The data codewords of all blocks, in block order.
struct DataStream {
    uint8_t bytes[kMaxCodewords];
    int32_t count = 0;
};

// The first `codewordCount` codewords along the placement path of the grid's
// version (taken from its side), each module read with the grid's mask
// removed; `raw` must hold them all and start zeroed. A side or mask that fits
// no version leaves `raw` as it is.
void ReadPlacementOrder(const SampledGrid& grid, int codewordCount, uint8_t* raw);

// The modules (row * side + column) of the first Reed-Solomon block's
// codewords of a version and level, in increasing order (row by row). Made
// once per version and level.
const std::vector<uint16_t>& FirstBlockModules(int version, int level);

// Whether the first block of the grid's codewords can be corrected: the
// first thing ExtractCodewords checks. Only the modules of
// FirstBlockModules are read, so a reader can sample those alone first.
bool FirstBlockCorrectable(const SampledGrid& grid);

// False (and an empty stream) when the grid's version, level or side do not
// fit together or a block cannot be corrected.
bool ExtractCodewords(const SampledGrid& grid, DataStream& out);

}  // namespace lectavo
