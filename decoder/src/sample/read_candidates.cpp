#include "sample/read_candidates.h"

#include <algorithm>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <utility>

#include "locate/geometry.h"
#include "same_symbol.h"
#include "sample/module_sampling.h"
#include "sample/symbol_reading.h"

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

void SetCorner(DecodeResult& r, int index, int x, int y, int scale) {
    r.corners[index][0] = Scaled(x, scale);
    r.corners[index][1] = Scaled(y, scale);
}

// Appends the result of a symbol read with `data` unless the same symbol is
// already held (found on an earlier plane or at the other resolution).
void AppendResult(std::vector<DecodeResult>& results, const LocatedSymbol& c, const int32_t bottomRight[2],
                  const DecodedData& data, int scale) {
    DecodeResult r;
    r.version = c.version;
    r.level = c.level;
    r.mask = c.mask;
    const PointF tl = c.corners[kTopLeft], tr = c.corners[4 + kTopRight], bl = c.corners[8 + kBottomLeft];
    SetCorner(r, 0, RoundPixel(tl.x), RoundPixel(tl.y), scale);
    SetCorner(r, 1, RoundPixel(tr.x), RoundPixel(tr.y), scale);
    SetCorner(r, 2, bottomRight[0], bottomRight[1], scale);
    SetCorner(r, 3, RoundPixel(bl.x), RoundPixel(bl.y), scale);
    r.dataLength = data.length;
    std::memcpy(r.data, data.bytes, static_cast<size_t>(data.length) + 1);
    r.sequencePosition = data.sequencePosition;
    r.sequenceTotal = data.sequenceTotal;
    r.sequenceParity = data.sequenceParity;
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
    for (const LocatedSymbol& c : state.candidates) {
        if (reading.attemptsLeft <= 0) break;
        if (!Readable(state, c)) continue;
        data.Reset();
        const DecodeStatus status = ReadSymbol(plane, c, reading, options, data);
        if (status != DecodeStatus::kOk && status != DecodeStatus::kSegmentsInvalid) continue;
        for (int index : {c.a, c.b, c.c}) state.finders[index].used = 1;
        SuppressNearbyFinders(state, c);
        if (status == DecodeStatus::kOk) AppendResult(state.results, c, reading.area.bottomRight, data, scale);
        if (symbolLimit > 0 && static_cast<int>(state.results.size()) >= symbolLimit) break;
    }
    SortResults(state.results);
    return static_cast<int>(state.results.size());
}

}  // namespace lectavo
