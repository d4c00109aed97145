// What one search over binary planes keeps: finder patterns and located
// symbols of the plane being searched, the results of every plane searched
// so far, and the working space of the symbol readings.
#pragma once

#include <cstdint>
#include <memory>
#include <vector>

#include "decode_result.h"
#include "locate/located_symbol.h"
#include "sample/symbol_reading.h"

namespace lectavo {

struct SearchState {
    uint8_t minModuleSize = 1;              // pixels; the finder scan steps by twice this
    std::vector<FinderPattern> finders;     // of the current plane
    std::vector<LocatedSymbol> candidates;  // of the current plane
    std::vector<DecodeResult> results;      // grows over all planes of a decode call
    // Working space of the symbol readings, made on the first plane that
    // needs it and kept for the later ones.
    std::unique_ptr<SymbolReading> reading;
};

}  // namespace lectavo
