// Turns a grey image into a sequence of binary planes (1 = dark) and hands
// each one to a search, until the search has found enough symbols.
#pragma once

#include <cstdint>
#include <functional>

#include "decoder_options.h"

namespace lectavo {

struct SearchOutcome {
    bool success = false;  // this search decoded something
    int symbolsHeld = 0;   // symbols found so far over all searches
    // The search read nothing and left everything it keeps between planes
    // (results, the call's bounds) as it was: searching the same plane again
    // before any other search changes them gives this same outcome, so
    // Binarize skips a plane equal to one searched so. False when unsure.
    bool stateKept = false;
};

// Searches one width x height plane.
using PlaneSearch = std::function<SearchOutcome(const uint8_t* plane, int width, int height)>;

enum class BinarizeStatus { kNothingFound, kFound };

// Runs the threshold passes over `grey` (width x height, rows top down):
//  1. grey <= T1 (the brightness border when set, else the threshold T);
//  2. grey <= T - 32 and grey <= T + 32 (8-bit wrap-around), unless the
//     picture is bilevel or the border is set;
//  3. a five-sample vote (the pixel and its four neighbours) against the
//     same thresholds, when the effect level allows it and too few symbols
//     are known; for bilevel pictures this is the last pass;
//  4. thresholds from each whole 16 x 16 block (strictly darker than the
//     block's middle grey, and its +-32 variants), when allowed and still
//     short of symbols.
// Stops after any search that succeeded with at least max(1, symbol count)
// symbols held. Pixels a pass does not reach keep their earlier values; the
// planes start out light. A plane equal to one searched with its state kept,
// no search having changed the state since, is not searched again.
BinarizeStatus Binarize(const uint8_t* grey, int width, int height, uint8_t threshold, bool bilevel,
                        const DecoderOptions& options, const PlaneSearch& search);

}  // namespace lectavo
