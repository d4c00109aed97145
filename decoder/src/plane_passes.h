// The binary-plane passes over one grey picture: every plane the binariser
// makes is searched for symbols (or, where it repeats one already searched,
// that search is replayed), the results gathered in a search state.
#pragma once

#include <cstdint>

#include "decoder_options.h"
#include "first_search/search_state.h"

namespace lectavo {

// Runs the passes over `grey` (width x height) with the binariser's
// `threshold` and `bilevel`, searching for options.symbolCount symbols into
// `state`. True when the passes reported success.
bool RunPlanePasses(const uint8_t* grey, int width, int height, uint8_t threshold, bool bilevel,
                    const DecoderOptions& options, SearchState& state);

}  // namespace lectavo
