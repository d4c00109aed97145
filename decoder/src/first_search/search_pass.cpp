#include "first_search/search_pass.h"

#include <memory>
#include <vector>

#include "core/picture_limits.h"
#include "locate/finder_scan.h"
#include "locate/triple_search.h"
#include "locate/two_finder.h"
#include "first_search/read_candidates.h"

namespace lectavo {

namespace {

enum class Outcome { kNothing, kRead, kGaveUp };

void EmptyLists(SearchState& state) {
    std::vector<FinderPattern>().swap(state.finders);
    std::vector<LocatedSymbol>().swap(state.candidates);
}

Outcome SearchPlane(const BinaryPlane& plane, SearchState& state, SymbolReading& reading, int symbolCount, int scale) {
    if (FinderScan(plane, state.minModuleSize, 1, state.finders) == 2 && !CompleteTwoFinders(plane, state.finders))
        return Outcome::kGaveUp;
    if (state.finders.size() < 3) return Outcome::kNothing;
    const bool located = TripleSearch(plane, state.finders, state.candidates, state.triplesLeft) > 0;
    if (located) ++state.locatingSearches;
    if (located && ReadCandidates(plane, state, reading, symbolCount, scale) > 0) return Outcome::kRead;
    return Outcome::kNothing;
}

// Pixel (x, y) of the half plane is dark when at least two of the four
// pixels it covers are dark.
void Halve(const BinaryPlane& plane, uint8_t* half, int halfWidth, int halfHeight) {
    for (int y = 0; y < halfHeight; ++y) {
        const uint8_t* row0 = plane.Row(2 * y);
        const uint8_t* row1 = plane.Row(2 * y + 1);
        uint8_t* out = half + static_cast<size_t>(y) * static_cast<size_t>(halfWidth);
        for (int x = 0; x < halfWidth; ++x) {
            // Counted in bytes, so that the vectorised loop stays sixteen pixels wide.
            uint8_t dark = row0[2 * x] != 0;
            dark = static_cast<uint8_t>(dark + (row0[2 * x + 1] != 0));
            dark = static_cast<uint8_t>(dark + (row1[2 * x] != 0));
            dark = static_cast<uint8_t>(dark + (row1[2 * x + 1] != 0));
            out[x] = dark >= 2 ? 1 : 0;
        }
    }
}

}  // namespace

bool SearchPass(const BinaryPlane& plane, SearchState& state, int symbolCount) {
    EmptyLists(state);
    if (plane.pixels == nullptr || plane.width < kMinPictureSide || plane.height < kMinPictureSide) return false;

    if (!state.reading) state.reading = std::make_unique<SymbolReading>();
    SymbolReading& reading = *state.reading;
    const Outcome full = SearchPlane(plane, state, reading, symbolCount, 1);
    EmptyLists(state);
    if (full == Outcome::kGaveUp) return false;
    bool success = full == Outcome::kRead;
    if (!state.results.empty() && static_cast<int>(state.results.size()) >= symbolCount) return success;
    // With the call's bounds spent, the half plane could add nothing.
    if (state.Spent()) return success;

    BinaryPlane halfPlane;
    halfPlane.width = plane.width / 2;
    halfPlane.height = plane.height / 2;
    // Halve writes every pixel, so the buffer is not cleared first.
    const size_t halfSize = static_cast<size_t>(halfPlane.width) * static_cast<size_t>(halfPlane.height);
    if (state.halfPlaneSize != halfSize) {
        state.halfPlane.reset(new uint8_t[halfSize]);
        state.halfPlaneSize = halfSize;
    }
    Halve(plane, state.halfPlane.get(), halfPlane.width, halfPlane.height);
    halfPlane.pixels = state.halfPlane.get();
    if (SearchPlane(halfPlane, state, reading, symbolCount, 2) == Outcome::kRead) success = true;
    EmptyLists(state);
    return success;
}

bool RecordedSearchPass(const BinaryPlane& plane, SearchState& state, int symbolCount, bool& repeatable) {
    const int locatingBefore = state.locatingSearches, triplesBefore = state.triplesLeft;
    const bool success = SearchPass(plane, state, symbolCount);
    // A pass that ended above the bound never reached it, so it examined the
    // plane's every triple; with nothing located it read nothing.
    repeatable = !success && state.locatingSearches == locatingBefore && state.triplesLeft > 0;
    state.passTriples.push_back(triplesBefore - state.triplesLeft);
    return success;
}

void RepeatSearchPass(int pass, SearchState& state) {
    const int used = state.passTriples[static_cast<size_t>(pass)];
    state.triplesLeft = state.triplesLeft > used ? state.triplesLeft - used : 0;
}

}  // namespace lectavo
