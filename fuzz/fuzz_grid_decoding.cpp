// The reading stage on any sampled grid: byte 0 the version (any value, so
// shapes that fit no version come too), byte 1 the level and mask, byte 2
// whether ECI and FNC1 are read, then one bit per module. Most grids fail
// the first block's correction; fuzz_symbol_generator gives grids that pass.
//
// fuzz-options: -max_len=24000
#include <cstdint>
#include <memory>

#include "decode/codewords.h"
#include "decode/grid_decoding.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    if (size < 4) return 0;
    auto grid = std::make_unique<lectavo::SampledGrid>();
    grid->version = static_cast<int8_t>(data[0]);
    grid->level = (data[1] & 7) - 2;  // -2 .. 5: out-of-range levels too
    grid->mask = data[1] >> 4;        // 0 .. 15
    grid->side = 17 + 4 * grid->version;
    if (grid->side < 0 || grid->side > lectavo::kMaxSide) grid->side = 17 + 4 * (1 + (data[0] & 31));
    const int modules = grid->side * grid->side;
    for (int i = 0; i < modules; ++i) {
        const size_t byte = 3 + static_cast<size_t>(i / 8);
        grid->modules[static_cast<size_t>(i)] = byte < size ? (data[byte] >> (i % 8)) & 1 : 0;
    }
    auto out = std::make_unique<lectavo::DecodedData>();
    lectavo::FirstBlockCorrectable(*grid);
    lectavo::DecodeSampledGrid(*grid, {static_cast<bool>(data[2] & 1)}, *out);
    return 0;
}
