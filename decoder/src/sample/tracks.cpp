#include "sample/tracks.h"

#include <cmath>

namespace lectavo {

namespace {

bool OnTrack(int i) { return i >= 0 && i < kMaxSide; }

// |trunc(x)| + |trunc(y)|, the run radius of one module vector in pixels.
float RunRadius(PointF m) { return std::fabs(std::trunc(m.x)) + std::fabs(std::trunc(m.y)); }

// Half of the first step of a row track and of a column track at one finder:
// the mean step over the finder's 7 modules less the growth accumulated
// along them.
struct HalfSteps {
    PointF row;
    PointF column;
};

HalfSteps HalfFirstSteps(const PointF* c, const ReadingArea& area) {
    return {((c[kTopRight] - c[kTopLeft]) - 21.0f * area.rowGrowth) / 7.0f * 0.5f,
            ((c[kBottomLeft] - c[kTopLeft]) - 21.0f * area.columnGrowth) / 7.0f * 0.5f};
}

}  // namespace

void InterpolateTrack(Track track, int a, int b) {
    if (a < 0 || b >= kMaxSide || a >= b) return;
    PointF* p = track.points;
    const int d = b - a;
    const PointF inner = p[b] - p[a] - Triangular(d - 1) * track.growth;
    for (int k = 1; k < d; ++k)
        p[a + k] = p[a] + static_cast<float>(k) * inner / static_cast<float>(d) + Triangular(k - 1) * track.growth;
}

void ExtrapolateTrack(Track track, int a, int b, int e) {
    if (a == b || !OnTrack(a) || !OnTrack(b) || !OnTrack(e)) return;
    PointF* p = track.points;
    const PointF mean = (p[b] - p[a]) / static_cast<float>(b - a);
    p[e] = p[b] + mean * static_cast<float>(e - b) + Triangular(e - b) * track.growth;
}

void SetPitchModel(ReadingArea& area, const LocatedSymbol& candidate) {
    const PointF* tl = &candidate.corners[0];
    const PointF* tr = &candidate.corners[4];
    const PointF* bl = &candidate.corners[8];
    const int side = area.side;
    const float span = static_cast<float>(side - 7);
    area.u = (tl[kTopRight] - tl[kTopLeft]) / 7.0f;
    area.v = (tl[kBottomLeft] - tl[kTopLeft]) / 7.0f;
    area.rowGrowth = ((tr[kTopRight] - tr[kTopLeft]) - (tl[kTopRight] - tl[kTopLeft])) * kOneSeventh / span;
    area.columnGrowth = ((bl[kBottomLeft] - bl[kTopLeft]) - (tl[kBottomLeft] - tl[kTopLeft])) * kOneSeventh / span;
    area.runU = RunRadius(area.u);
    area.runV = RunRadius(area.v);
}

void PlaceInitialAnchors(ReadingArea& area, const LocatedSymbol& candidate) {
    const PointF* tl = &candidate.corners[0];
    const PointF* tr = &candidate.corners[4];
    const PointF* bl = &candidate.corners[8];
    const HalfSteps h0 = HalfFirstSteps(tl, area);
    const HalfSteps h1 = HalfFirstSteps(tr, area);
    const HalfSteps h2 = HalfFirstSteps(bl, area);
    const PointF ar3 = 3.0f * area.rowGrowth;
    const PointF ac3 = 3.0f * area.columnGrowth;
    const int last = area.side - 1;

    area.rowTrack[0][0] = area.columnTrack[0][0] = tl[kTopLeft] + h0.row + h0.column;
    area.rowTrack[1][0] = tl[kBottomLeft] + h0.row - h0.column - ac3;
    area.columnTrack[1][0] = tl[kTopRight] - h0.row + h0.column - ar3;
    area.rowTrack[0][last] = tr[kTopRight] - h1.row + h1.column - ar3;
    area.rowTrack[1][last] = tr[kBottomRight] - h1.row - h1.column - ar3 - ac3;
    area.columnTrack[0][last] = bl[kBottomLeft] + h2.row - h2.column - ac3;
    area.columnTrack[1][last] = bl[kBottomRight] - h2.row - h2.column - ar3 - ac3;

    for (int k = 0; k < 2; ++k) {
        InterpolateTrack(RowTrackOf(area, k), 0, last);
        InterpolateTrack(ColumnTrackOf(area, k), 0, last);
    }
}

}  // namespace lectavo
