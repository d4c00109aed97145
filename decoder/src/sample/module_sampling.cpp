#include "module_sampling.h"

#include <array>
#include <cstring>

#include "common/qr_tables.h"
#include "geometry.h"

namespace lectavo {

namespace {

struct Offset {
    int x, y;
};

// Ring 0, then rings 1-3 each from (-r, -r) clockwise round the square.
constexpr std::array<Offset, 49> MakeSpiral() {
    std::array<Offset, 49> s{};
    int n = 0;
    s[n++] = {0, 0};
    for (int r = 1; r <= 3; ++r) {
        for (int x = -r; x <= r; ++x) s[n++] = {x, -r};
        for (int y = -r + 1; y <= r; ++y) s[n++] = {r, y};
        for (int x = r - 1; x >= -r; --x) s[n++] = {x, r};
        for (int y = r - 1; y > -r; --y) s[n++] = {-r, y};
    }
    return s;
}

constexpr std::array<Offset, 49> kSpiral = MakeSpiral();

// A dark pixel at q with no direction of the 3 x 3 neighbourhood dark at
// 1.0, 1.4 and 0.6 module steps: a dark centre inside a light ring.
bool LooksLikeAlignmentCentre(const SymbolSearch& search, PointF q) {
    if (!IsDarkAt(search, q)) return false;
    const ReadingArea& area = search.reading;
    for (int a = -1; a <= 1; ++a)
        for (int b = -1; b <= 1; ++b) {
            if (a == 0 && b == 0) continue;
            const PointF d = static_cast<float>(a) * area.u + static_cast<float>(b) * area.v;
            if (IsDarkAt(search, q + 1.0f * d) && IsDarkAt(search, q + 1.4f * d) && IsDarkAt(search, q + 0.6f * d))
                return false;
        }
    return true;
}

// Middle of the dark run through (position, across) along one axis, looking
// at most `reach` pixels each way; an unbounded side keeps the start index.
float RunMiddle(const SymbolSearch& search, int position, int across, float reach, bool horizontal) {
    const auto dark = [&](int i) { return horizontal ? search.Pixel(i, across) : search.Pixel(across, i); };
    int low = position, high = position;
    for (int i = position - 1; static_cast<float>(i) > static_cast<float>(position) - reach; --i)
        if (!dark(i)) {
            low = i + 1;
            break;
        }
    for (int i = position + 1; static_cast<float>(i) < static_cast<float>(position) + reach; ++i)
        if (!dark(i)) {
            high = i;
            break;
        }
    return static_cast<float>(low) + static_cast<float>(high - low) * 0.5f;
}

void CentreOnDarkRun(const SymbolSearch& search, PointF& p) {
    const ReadingArea& area = search.reading;
    p.x = RunMiddle(search, RoundPixel(p.x), RoundPixel(p.y), 2.0f * area.runU, true);
    p.y = RunMiddle(search, RoundPixel(p.y), RoundPixel(p.x), 2.0f * area.runV, false);
}

void FlagBlock(ReadingArea& area, int x0, int y0, int columns, int rows) {
    for (int x = x0; x < x0 + columns; ++x) std::memset(&area.grid[x * kMaxSide + y0], kFunctionFlag, rows);
}

bool Flagged(const ReadingArea& area, int x, int y) { return area.grid[x * kMaxSide + y] & kFunctionFlag; }

}  // namespace

void RefineAlignmentCentre(const SymbolSearch& search, PointF& point) {
    const ReadingArea& area = search.reading;
    for (const Offset& t : kSpiral) {
        const PointF q = point + 0.5f * (static_cast<float>(t.x) * area.u + static_cast<float>(t.y) * area.v);
        if (!LooksLikeAlignmentCentre(search, q)) continue;
        point = q;
        CentreOnDarkRun(search, point);
        CentreOnDarkRun(search, point);
        return;
    }
}

void MarkFunctionModules(ReadingArea& area, int version) {
    if (version < 1 || version > 40) return;
    const int side = 4 * version + 17;
    for (int x = 0; x < side; ++x) std::memset(&area.grid[x * kMaxSide], 0, side);

    FlagBlock(area, 0, 0, 8, 8);
    FlagBlock(area, side - 8, 0, 8, 8);
    FlagBlock(area, 0, side - 8, 8, 8);
    if (version >= 7) {
        FlagBlock(area, 0, side - 11, 6, 3);
        FlagBlock(area, side - 11, 0, 3, 6);
    }
    FlagBlock(area, 8, 0, 1, 9);
    FlagBlock(area, 0, 8, 9, 1);
    FlagBlock(area, 8, side - 8, 1, 8);
    FlagBlock(area, side - 8, 8, 8, 1);

    const qrcommon::AlignmentRow& row = qrcommon::kAlignment[version];
    const auto alignment = [&](int cx, int cy) {
        if (!Flagged(area, cx, cy)) FlagBlock(area, cx - 2, cy - 2, 5, 5);
    };
    for (int i = 1; i < row.count; ++i) {
        alignment(row.pos[i], 6);
        alignment(6, row.pos[i]);
        for (int j = 1; j < row.count; ++j) alignment(row.pos[i], row.pos[j]);
    }
    FlagBlock(area, 8, 6, side - 16, 1);
    FlagBlock(area, 6, 8, 1, side - 16);
}

int AnchorList(int version, int anchors[kMaxTracks]) {
    const int side = 4 * version + 17;
    int count = 0;
    anchors[count++] = 0;
    if (version >= 7) {
        const qrcommon::AlignmentRow& row = qrcommon::kAlignment[version];
        for (int i = 0; i < row.count; ++i) anchors[count++] = row.pos[i];
    }
    anchors[count++] = side;
    return count;
}

void SampleModules(const SymbolSearch& search, ReadingArea& area, const int* anchors, int anchorCount) {
    for (int i = 0; i + 1 < anchorCount; ++i)
        for (int j = 0; j + 1 < anchorCount; ++j)
            for (int x = anchors[i]; x < anchors[i + 1]; ++x) {
                const PointF r0 = area.rowTrack[j][x], r1 = area.rowTrack[j + 1][x];
                uint8_t* column = &area.grid[x * kMaxSide];
                for (int y = anchors[j]; y < anchors[j + 1]; ++y) {
                    if (column[y] & kFunctionFlag) continue;
                    PointF p;
                    const bool found = IntersectLines(r0, r1, area.columnTrack[i][y], area.columnTrack[i + 1][y], p);
                    column[y] = found && search.Pixel(TruncPixel(p.x), TruncPixel(p.y)) ? 1 : 0;
                }
            }
}

bool ReadingAttempt(SymbolSearch& search, const SymbolCandidate& candidate, const int* anchors, int anchorCount) {
    ReadingArea& area = search.reading;
    MarkFunctionModules(area, candidate.version);
    SampleModules(search, area, anchors, anchorCount);
    UnmaskGrid(search, area.side, candidate.mask);
    return ExtractCodewords(search, candidate.version, area.side, candidate.level);
}

}  // namespace lectavo
