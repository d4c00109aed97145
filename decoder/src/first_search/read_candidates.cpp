#include "first_search/read_candidates.h"

#include <algorithm>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <utility>

#include "core/geometry.h"
#include "same_symbol.h"
#include "sample/module_sampling.h"
#include "sample/symbol_reading.h"
#include "symbol_trial.h"

namespace lectavo {

namespace {

bool Readable(const SearchState& state, const LocatedSymbol& c) {
    const int finders = static_cast<int>(state.finders.size());
    for (int index : {c.a, c.b, c.c})
        if (index < 0 || index >= finders || state.finders[index].used) return false;
    return c.version >= 1 && c.version <= 40 && c.level >= 0 && c.level <= 3 && c.mask >= 0 && c.mask <= 7;
}

// Finder detections near the centres of a decoded symbol's finders (within a
// quarter of the shorter corner diagonal) are echoes of the same patterns.
void SuppressNearbyFinders(SearchState& state, const LocatedSymbol& c) {
    const int indices[3] = {c.a, c.b, c.c};
    PointF centres[3];
    float radii[3];
    for (int f = 0; f < 3; ++f) {
        const PointF* corner = &c.corners[4 * f];
        radii[f] = 0.25f * std::min(Distance(corner[kTopLeft], corner[kBottomRight]),
                                    Distance(corner[kTopRight], corner[kBottomLeft]));
        centres[f] = {state.finders[indices[f]].x, state.finders[indices[f]].y};
    }
    for (FinderPattern& finder : state.finders) {
        if (finder.used) continue;
        const PointF centre{finder.x, finder.y};
        for (int f = 0; f < 3; ++f)
            if (Distance(centre, centres[f]) < radii[f]) {
                finder.used = 1;
                break;
            }
    }
}

int32_t Scaled(int value, int scale) {
    const int64_t v = static_cast<int64_t>(value) * scale;
    return static_cast<int32_t>(std::clamp<int64_t>(v, INT32_MIN, INT32_MAX));
}

// Appends the result of a symbol read from `grid` with `data` unless the
// same symbol is already held (found on an earlier plane or at the other
// resolution). Corners: the outer corners of the three
// finders rounded to pixels, and the reading's bottom-right corner, all
// multiplied by `scale`.
void AppendResult(std::vector<DecodeResult>& results, const LocatedSymbol& c, const SampledGrid& grid,
                  const int32_t bottomRight[2], const DecodedData& data, int scale) {
    const PointF tl = c.corners[kTopLeft], tr = c.corners[4 + kTopRight], bl = c.corners[8 + kBottomLeft];
    const int32_t corners[4][2] = {{Scaled(RoundPixel(tl.x), scale), Scaled(RoundPixel(tl.y), scale)},
                                   {Scaled(RoundPixel(tr.x), scale), Scaled(RoundPixel(tr.y), scale)},
                                   {Scaled(bottomRight[0], scale), Scaled(bottomRight[1], scale)},
                                   {Scaled(RoundPixel(bl.x), scale), Scaled(RoundPixel(bl.y), scale)}};
    Quad exact;
    for (int k = 0; k < 4; ++k) {
        exact.x[k] = static_cast<float>(corners[k][0]);
        exact.y[k] = static_cast<float>(corners[k][1]);
    }
    const DecodeResult r = MakeResult(grid, data, corners, exact, FoundBy::kBinaryPasses);
    if (!HeldAlready(results, r)) results.push_back(r);
}

struct YRange {
    int64_t min, max;
};

YRange CornerYRange(const DecodeResult& r) {
    YRange y{r.corners[0][1], r.corners[0][1]};
    for (int k = 1; k < 4; ++k) {
        y.min = std::min<int64_t>(y.min, r.corners[k][1]);
        y.max = std::max<int64_t>(y.max, r.corners[k][1]);
    }
    return y;
}

// Reading order: records on different rows (both their least and greatest
// corner y differ by more than a quarter of record i's height) by top-left
// y, records on one row by top-left x.
void SortResults(std::vector<DecodeResult>& results) {
    const size_t count = results.size();
    for (size_t i = 0; i + 1 < count; ++i) {
        YRange yi = CornerYRange(results[i]);
        const int64_t t = (yi.max - yi.min) / 4;
        for (size_t j = i + 1; j < count; ++j) {
            const YRange yj = CornerYRange(results[j]);
            const bool otherRow = std::llabs(yi.min - yj.min) > t && std::llabs(yi.max - yj.max) > t;
            const int axis = otherRow ? 1 : 0;
            if (results[i].corners[0][axis] > results[j].corners[0][axis]) {
                std::swap(results[i], results[j]);
                yi = yj;
            }
        }
    }
}

}  // namespace

int ReadCandidates(const BinaryPlane& plane, SearchState& state, SymbolReading& reading, int symbolLimit, int scale) {
    DecodedData data;
    const GridDecodeOptions options;
    const FirstBlockCheck check = DecodingFirstBlockCheck();
    const GridTrial trial = [&](const SampledGrid& grid) { return DecodeGridTrial(grid, options, data); };
    for (const LocatedSymbol& c : state.candidates) {
        if (reading.attemptsLeft <= 0) break;
        if (!Readable(state, c)) continue;
        data.Reset();
        const TrialStatus status = ReadSymbol(plane, c, reading, check, trial);
        if (status == TrialStatus::kUnread) continue;
        for (int index : {c.a, c.b, c.c}) state.finders[index].used = 1;
        SuppressNearbyFinders(state, c);
        if (status == TrialStatus::kRead)
            AppendResult(state.results, c, reading.grid, reading.area.bottomRight, data, scale);
        if (symbolLimit > 0 && static_cast<int>(state.results.size()) >= symbolLimit) break;
    }
    SortResults(state.results);
    return static_cast<int>(state.results.size());
}

}  // namespace lectavo
