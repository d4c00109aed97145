// What one search over binary planes keeps: finder patterns and located
// symbols of the plane being searched, the results of every plane searched
// so far, and the working space of the symbol readings.
#pragma once

#include <cstddef>
#include <cstdint>
#include <memory>
#include <vector>

#include "decode_result.h"
#include "core/located_symbol.h"
#include "sample/symbol_reading.h"

namespace lectavo {

// Bound of one decode call on finder triples examined past the angle test.
// A crafted picture (a grid of bare finder patterns) would otherwise examine
// every triple of 128 finders on each of up to ten planes; 32 genuine
// symbols on one picture examine under 90,000.
inline constexpr int kMaxTriplesExamined = 200000;

struct SearchState {
    uint8_t minModuleSize = 1;              // pixels; the finder scan steps by twice this
    int triplesLeft = kMaxTriplesExamined;  // over all planes of the call
    std::vector<FinderPattern> finders;     // of the current plane
    std::vector<LocatedSymbol> candidates;  // of the current plane
    std::vector<DecodeResult> results;      // grows over all planes of a decode call
    // Plane searches whose triple search located a candidate: the only
    // step after which reading can change the results and the reading bound.
    int locatingSearches = 0;
    // Triples examined by each pass made through RecordedSearchPass.
    std::vector<int> passTriples;
    // Working space of the symbol readings, made on the first plane that
    // needs it and kept for the later ones.
    std::unique_ptr<SymbolReading> reading;
    // The half-size copy of the plane being searched, made on the first plane
    // that needs it; every plane of a call has the same size.
    std::unique_ptr<uint8_t[]> halfPlane;
    size_t halfPlaneSize = 0;

    // The call's bound on triples or on reading attempts is spent: no later
    // plane can add a symbol. (A later search may still report success, but
    // only with results of a plane that has already reported it.)
    bool Spent() const { return triplesLeft == 0 || (reading && reading->attemptsLeft <= 0); }
};

}  // namespace lectavo
