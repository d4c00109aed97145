// The lists one search over binary planes builds: finder patterns and located
// symbols of the plane being searched, and the results of every plane
// searched so far.
#pragma once

#include <cstdint>
#include <vector>

#include "decode_result.h"
#include "locate/located_symbol.h"

namespace lectavo {

struct SearchState {
    uint8_t minModuleSize = 1;              // pixels; the finder scan steps by twice this
    std::vector<FinderPattern> finders;     // of the current plane
    std::vector<LocatedSymbol> candidates;  // of the current plane
    std::vector<DecodeResult> results;      // grows over all planes of a decode call
};

}  // namespace lectavo
