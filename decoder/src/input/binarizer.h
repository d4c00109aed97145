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
    // The search read nothing, and searching the same plane again, before
    // any search that was not repeatable, would read nothing too and change
    // only what the PlaneRepeat given with the search replays. Binarize then
    // replays a plane equal to one searched so instead of searching it.
    // False when unsure.
    bool repeatable = false;
    // No later search of this call can read anything (its bound on work is
    // spent): Binarize writes and searches no further plane.
    bool last = false;
};

// Searches one width x height plane.
using PlaneSearch = std::function<SearchOutcome(const uint8_t* plane, int width, int height)>;

// Replays search number `search` (0 for the first search Binarize made),
// which was repeatable, on a plane equal to the one it searched.
using PlaneRepeat = std::function<void(int search)>;

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
// planes start out light. With `repeat`, a plane equal to one whose search
// was repeatable, every search since having been repeatable too, is replayed
// through `repeat` instead of searched.
BinarizeStatus Binarize(const uint8_t* grey, int width, int height, uint8_t threshold, bool bilevel,
                        const DecoderOptions& options, const PlaneSearch& search, const PlaneRepeat& repeat = nullptr);

}  // namespace lectavo
