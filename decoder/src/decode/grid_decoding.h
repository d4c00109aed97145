// A sampled grid to data: unmask, extract the codewords, check and correct
// every block, decode the segments.
#pragma once

#include "decode/decoded_data.h"
#include "core/sampled_grid.h"

namespace lectavo {

struct GridDecodeOptions {
    // False: a stream with ECI or FNC1 segments yields no data.
    bool readEciAndFnc1 = false;
};

// `grid` holds the modules as read (still masked) with its version, level and
// mask; function modules are never read, whatever they hold. kOk fills `out`;
// kSegmentsInvalid means the codewords corrected but their data did not
// decode. Allocates nothing.
DecodeStatus DecodeSampledGrid(const SampledGrid& grid, const GridDecodeOptions& options, DecodedData& out);

}  // namespace lectavo
