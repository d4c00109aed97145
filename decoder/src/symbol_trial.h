// What both searches do with a sampled grid: decode it (the trial), and turn
// a decoded symbol into the result the interfaces report (the one builder).
#pragma once

#include <cstdint>

#include "core/grid_trial.h"
#include "core/point.h"
#include "core/sampled_grid.h"
#include "decode/decoded_data.h"
#include "decode/grid_decoding.h"
#include "decode_result.h"

namespace lectavo {

// Decodes `grid` into `out`: kRead, kDataInvalid when the blocks corrected
// but the segments did not decode, kUnread otherwise.
TrialStatus DecodeGridTrial(const SampledGrid& grid, const GridDecodeOptions& options, DecodedData& out);

// The first-block test of the decoding stage, for samplers that can sample
// the first block's modules alone.
FirstBlockCheck DecodingFirstBlockCheck();

// The result of a read symbol: format and data from `grid` and `data`,
// corners as reported (`corners`, rounded by the search) and as found
// (`exact`), how the symbol lay and which search read it.
DecodeResult MakeResult(const SampledGrid& grid, const DecodedData& data, const int32_t corners[4][2],
                        const Quad& exact, FoundBy foundBy);

}  // namespace lectavo
