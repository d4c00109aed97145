// The candidate loop of one search pass: read each candidate, turn a read
// symbol into a result, drop duplicates and sort the list into reading order.
#include <algorithm>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <new>
#include <utility>

#include "geometry.h"
#include "module_sampling.h"

namespace lectavo {

namespace {

bool Readable(const SymbolSearch& search, const SymbolCandidate& c) {
    const int finders = static_cast<int>(search.finders.size());
    for (int index : {c.a, c.b, c.c})
        if (index < 0 || index >= finders || search.finders[index].used) return false;
    return c.version >= 1 && c.version <= 40 && c.level >= 0 && c.level <= 3 && c.mask >= 0 && c.mask <= 7;
}

// Finder detections near the centres of a decoded symbol's finders (within a
// quarter of the shorter corner diagonal) are echoes of the same patterns.
void SuppressNearbyFinders(SymbolSearch& search, const SymbolCandidate& c) {
    const int indices[3] = {c.a, c.b, c.c};
    PointF centres[3];
    float radii[3];
    for (int f = 0; f < 3; ++f) {
        const PointF* corner = &c.corners[4 * f];
        radii[f] = 0.25f * std::min(Distance(corner[kTopLeft], corner[kBottomRight]),
                                    Distance(corner[kTopRight], corner[kBottomLeft]));
        centres[f] = {search.finders[indices[f]].x, search.finders[indices[f]].y};
    }
    for (FinderPattern& finder : search.finders) {
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

bool Near(int32_t a, int32_t b) { return std::llabs(static_cast<int64_t>(a) - b) <= 20; }

bool IsDuplicate(const SymbolSearch& search, const DecodeResult& r) {
    for (const DecodeResult& old : search.results) {
        bool same = true;
        for (int corner : {0, 1, 3})
            same = same && Near(old.corners[corner][0], r.corners[corner][0]) &&
                   Near(old.corners[corner][1], r.corners[corner][1]);
        if (same) return true;
    }
    return false;
}

// Decodes the data codewords left by the extraction into `r`; a stream that
// starts with anything but a numeric, alphanumeric, byte, Kanji or
// structured-append indicator yields nothing.
bool DecodeData(SymbolSearch& search, DecodeResult& r) {
    const CodewordArea& cw = search.codewords;
    if (cw.count < 1 || cw.count > kMaxCodewords) return false;
    switch (cw.bytes[0] >> 4) {
        case 1:
        case 2:
        case 4:
        case 8:
            return DecodeSegments(search, r, cw.count, cw.bytes, false);
        case 3:
            if (cw.count < 3) return false;
            r.sequencePosition = cw.bytes[0] & 0x0F;
            r.sequenceTotal = (cw.bytes[1] >> 4) + 1;
            r.sequenceParity = static_cast<uint8_t>(((cw.bytes[1] & 0x0F) << 4) | (cw.bytes[2] >> 4));
            return DecodeSegments(search, r, cw.count, cw.bytes, true);
        default:
            return false;
    }
}

// Builds the result of the candidate just read and appends it unless it is
// a duplicate or its data do not decode. False only when the list could not
// grow (the list is then freed and the out-of-memory flag set).
bool AppendResult(SymbolSearch& search, const SymbolCandidate& c, int scale) {
    DecodeResult r;
    std::memset(static_cast<void*>(&r), 0, sizeof r);
    r.version = c.version;
    r.level = c.level;
    r.mask = c.mask;
    const PointF tl = c.corners[kTopLeft], tr = c.corners[4 + kTopRight], bl = c.corners[8 + kBottomLeft];
    SetCorner(r, 0, RoundPixel(tl.x), RoundPixel(tl.y), scale);
    SetCorner(r, 1, RoundPixel(tr.x), RoundPixel(tr.y), scale);
    SetCorner(r, 2, search.reading.bottomRight[0], search.reading.bottomRight[1], scale);
    SetCorner(r, 3, RoundPixel(bl.x), RoundPixel(bl.y), scale);
    if (IsDuplicate(search, r) || !DecodeData(search, r)) return true;
    try {
        search.results.push_back(r);
    } catch (const std::bad_alloc&) {
        std::vector<DecodeResult>().swap(search.results);
        search.outOfMemory = true;
        return false;
    }
    return true;
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

int ReadCandidates(SymbolSearch& search, int symbolLimit, int scale) {
    for (const SymbolCandidate& c : search.candidates) {
        if (!Readable(search, c) || !ReadSymbol(search, c)) continue;
        for (int index : {c.a, c.b, c.c}) search.finders[index].used = 1;
        SuppressNearbyFinders(search, c);
        if (!AppendResult(search, c, scale)) return 0;
        if (symbolLimit > 0 && static_cast<int>(search.results.size()) >= symbolLimit) break;
    }
    SortResults(search.results);
    return static_cast<int>(search.results.size());
}

}  // namespace lectavo
