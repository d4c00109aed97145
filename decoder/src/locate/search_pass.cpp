// One search pass over a binary plane: finder scan, completion of two-finder
// symbols, triple search and reading, first at full resolution and then, if
// not enough symbols were read, on a half-resolution copy of the plane.
#include <new>

#include "finder_scan.h"
#include "symbol_search.h"
#include "triple_search.h"
#include "two_finder.h"

namespace lectavo {

namespace {

constexpr int kMinPlaneSide = 21;

enum class Outcome { kNothing, kRead, kGaveUp };

void EmptyLists(SymbolSearch& search) {
    std::vector<FinderPattern>().swap(search.finders);
    std::vector<SymbolCandidate>().swap(search.candidates);
}

// Searches the plane currently set in `search`.
Outcome SearchPlane(SymbolSearch& search, int symbolCount, int scale) {
    try {
        if (FinderScan(search, 1) == 2 && !CompleteTwoFinders(search)) return Outcome::kGaveUp;
        if (search.finders.size() >= 3 && TripleSearch(search) > 0 && ReadCandidates(search, symbolCount, scale) > 0)
            return Outcome::kRead;
    } catch (const std::bad_alloc&) {
        search.outOfMemory = true;
    }
    return Outcome::kNothing;
}

// Pixel (x, y) of the half plane is dark when at least two of the four
// pixels it covers are dark.
void Halve(const uint8_t* plane, int width, uint8_t* half, int halfWidth, int halfHeight) {
    const size_t stride = static_cast<size_t>(width);
    for (int y = 0; y < halfHeight; ++y) {
        const uint8_t* row0 = plane + static_cast<size_t>(2 * y) * stride;
        const uint8_t* row1 = row0 + stride;
        uint8_t* out = half + static_cast<size_t>(y) * static_cast<size_t>(halfWidth);
        for (int x = 0; x < halfWidth; ++x) {
            const int dark = (row0[2 * x] != 0) + (row0[2 * x + 1] != 0) + (row1[2 * x] != 0) + (row1[2 * x + 1] != 0);
            out[x] = dark >= 2 ? 1 : 0;
        }
    }
}

void SetPlane(SymbolSearch& search, const uint8_t* plane, int width, int height) {
    search.image = plane;
    search.width = width;
    search.height = height;
}

}  // namespace

bool SearchPass(SymbolSearch& search, const uint8_t* plane, int width, int height, int symbolCount) {
    search.outOfMemory = false;
    EmptyLists(search);
    if (plane == nullptr || width < kMinPlaneSide || height < kMinPlaneSide) return false;

    SetPlane(search, plane, width, height);
    const Outcome full = SearchPlane(search, symbolCount, 1);
    EmptyLists(search);
    if (full == Outcome::kGaveUp || search.outOfMemory) return false;
    bool success = full == Outcome::kRead;
    if (!search.results.empty() && static_cast<int>(search.results.size()) >= symbolCount) return success;

    const int halfWidth = width / 2, halfHeight = height / 2;
    std::vector<uint8_t> half;
    try {
        half.resize(static_cast<size_t>(halfWidth) * static_cast<size_t>(halfHeight));
    } catch (const std::bad_alloc&) {
        search.outOfMemory = true;
        return false;
    }
    Halve(plane, width, half.data(), halfWidth, halfHeight);
    SetPlane(search, half.data(), halfWidth, halfHeight);
    if (SearchPlane(search, symbolCount, 2) == Outcome::kRead) success = true;
    // The half plane is freed on return; leave the search looking at the
    // caller's plane.
    SetPlane(search, plane, width, height);
    EmptyLists(search);
    return success && !search.outOfMemory;
}

}  // namespace lectavo
