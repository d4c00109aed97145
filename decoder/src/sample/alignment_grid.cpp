// Track anchoring on every alignment pattern of a version 7-40 symbol. The
// grid is walked from the top-left corner outwards so that each centre is
// predicted from anchors already placed, then refined on the image.
//
// Track numbering: row (column) 0 is track 0, row 6 track 1, the alignment
// coordinate coordinate[j] track j + 1 (coordinate[0] = 6), and the last row
// (column) track n + 2, n being the number of alignment coordinates beyond 6.
#include "sample/alignment_grid.h"

#include <cstring>

#include "common/qr_tables.h"
#include "core/geometry.h"
#include "sample/module_sampling.h"

namespace lectavo {

namespace {

// The two track families seen either upright (along = row tracks, indexed by
// column) or transposed (along = column tracks, indexed by row), so that a
// construction written for rows also serves columns.
struct View {
    PointF (*along)[kMaxSide];
    PointF (*across)[kMaxSide];
    PointF alongGrowth, acrossGrowth;

    Track Along(int k) const { return {along[k], alongGrowth}; }
    Track Across(int k) const { return {across[k], acrossGrowth}; }
};

struct Grid {
    const BinaryPlane& plane;
    ReadingArea& area;
    int n = 0;               // alignment coordinates other than 6
    int coordinate[8] = {};  // coordinate[0] = 6, then the n others
    int last = 0;            // side - 1
    View views[2];

    Grid(const BinaryPlane& p, ReadingArea& a) : plane(p), area(a) {
        const int version = (area.side - 17) / 4;
        const qrcommon::AlignmentRow& row = qrcommon::kAlignment[version >= 7 && version <= 40 ? version : 0];
        n = row.count - 1;
        for (int i = 0; i < row.count; ++i) coordinate[i] = row.pos[i];
        last = area.side - 1;
        views[0] = {area.rowTrack, area.columnTrack, area.rowGrowth, area.columnGrowth};
        views[1] = {area.columnTrack, area.rowTrack, area.columnGrowth, area.rowGrowth};
    }

    bool Usable() const { return n >= 2; }

    // Intersection written into `target`, then refined on the image; a
    // degenerate intersection leaves the target as it was.
    void Predict(PointF& target, PointF p1, PointF p2, PointF p3, PointF p4) const {
        if (IntersectLines(p1, p2, p3, p4, target)) RefineAlignmentCentre(plane, area, target);
    }
};

// Alignment patterns on row 6 (or column 6) between the finders.
void AnchorOnTiming(const Grid& g, const View& w) {
    int previous = 0;
    for (int j = 1; j < g.n; ++j) {
        const int p = g.coordinate[j];
        const PointF predicted = w.along[1][p];
        PointF refined = predicted;
        RefineAlignmentCentre(g.plane, g.area, refined);
        w.along[0][p] = w.along[0][p] + (refined - predicted);
        w.along[1][p] = refined;
        InterpolateTrack(w.Along(0), previous, p);
        InterpolateTrack(w.Along(1), previous, p);
        w.across[j + 1][0] = w.along[0][p];
        w.across[j + 1][6] = refined;
        InterpolateTrack(w.Across(j + 1), 0, 6);
        previous = p;
    }
    InterpolateTrack(w.Along(0), previous, g.last);
    InterpolateTrack(w.Along(1), previous, g.last);
}

// Row q_1 from left to right (or column q_1 downwards); each new centre also
// starts the crossing track and moves row 0's point above it. Transposed,
// the first centre (q_1, q_1) exists already and only the crossing track's
// outer end is built.
void WalkFirstLine(const Grid& g, const View& w, bool predictFirst) {
    for (int j = 1; j < g.n; ++j) {
        const int p = g.coordinate[j];
        PointF& centre = w.along[2][p];
        if (j > 1 || predictFirst)
            g.Predict(centre, w.along[0][p], w.along[1][p], w.across[j - 1][g.coordinate[1]],
                      w.across[j][g.coordinate[1]]);
        InterpolateTrack(w.Along(2), g.coordinate[j - 1], p);
        const Track crossing = w.Across(j + 1);
        w.across[j + 1][g.coordinate[1]] = centre;
        InterpolateTrack(crossing, 6, g.coordinate[1]);
        ExtrapolateTrack(crossing, g.coordinate[1], 6, 0);
        InterpolateTrack(crossing, 0, 6);
        w.along[0][p] = w.across[j + 1][0];
        InterpolateTrack(w.Along(0), g.coordinate[j - 1], p);
    }
    InterpolateTrack(w.Along(0), g.coordinate[g.n - 1], g.coordinate[g.n]);
}

void AnchorInterior(const Grid& g) {
    const View& w = g.views[0];
    for (int r = 2; r < g.n; ++r)
        for (int m = 2; m < g.n; ++m) {
            PointF& centre = w.along[r + 1][g.coordinate[m]];
            g.Predict(centre, w.along[r + 1][g.coordinate[m - 2]], w.along[r + 1][g.coordinate[m - 1]],
                      w.across[m + 1][g.coordinate[r - 2]], w.across[m + 1][g.coordinate[r - 1]]);
            InterpolateTrack(w.Along(r + 1), g.coordinate[m - 1], g.coordinate[m]);
            w.across[m + 1][g.coordinate[r]] = centre;
            InterpolateTrack(w.Across(m + 1), g.coordinate[r - 1], g.coordinate[r]);
        }
}

// (q_n, q_1) by extrapolation, (q_n, 6) by intersection without refinement,
// and the start of column q_n from rows 0, 6 and q_1.
void AnchorLastOnFirstLine(const Grid& g, const View& w) {
    const int qn = g.coordinate[g.n], qp = g.coordinate[g.n - 1];
    ExtrapolateTrack(w.Along(2), g.coordinate[g.n - 2], qp, qn);
    RefineAlignmentCentre(g.plane, g.area, w.along[2][qn]);
    InterpolateTrack(w.Along(2), qp, qn);
    IntersectLines(w.along[1][qp], w.along[1][g.last], w.along[0][qn], w.along[2][qn], w.along[1][qn]);
    InterpolateTrack(w.Along(1), qp, qn);
    InterpolateTrack(w.Along(1), qn, g.last);
    const int track = g.n + 1;
    w.across[track][0] = w.along[0][qn];
    w.across[track][6] = w.along[1][qn];
    w.across[track][g.coordinate[1]] = w.along[2][qn];
    InterpolateTrack(w.Across(track), 0, 6);
    InterpolateTrack(w.Across(track), 6, g.coordinate[1]);
}

// (q_n, q_k) on column q_n (or (q_k, q_n) on row q_n).
void AnchorOnLastLine(const Grid& g, const View& w, int k) {
    const int qn = g.coordinate[g.n], qp = g.coordinate[g.n - 1];
    PointF& centre = w.along[k + 1][qn];
    g.Predict(centre, w.along[k + 1][g.coordinate[g.n - 2]], w.along[k + 1][qp], w.across[g.n + 1][g.coordinate[k - 2]],
              w.across[g.n + 1][g.coordinate[k - 1]]);
    InterpolateTrack(w.Along(k + 1), qp, qn);
    w.across[g.n + 1][g.coordinate[k]] = centre;
    InterpolateTrack(w.Across(g.n + 1), g.coordinate[k - 1], g.coordinate[k]);
}

void AnchorCorner(const Grid& g) {
    const View& w = g.views[0];
    const int qn = g.coordinate[g.n], qp = g.coordinate[g.n - 1], qpp = g.coordinate[g.n - 2], track = g.n + 1;
    PointF& centre = w.along[track][qn];
    g.Predict(centre, w.along[track][qpp], w.along[track][qp], w.across[track][qpp], w.across[track][qp]);
    w.across[track][qn] = centre;
    InterpolateTrack(w.Along(track), qp, qn);
    InterpolateTrack(w.Across(track), qp, qn);
}

// Rows 0, 6 and coordinate[1] reach the last column and start the last column
// track.
void StartFarEdge(const Grid& g, const View& w) {
    const int qn = g.coordinate[g.n], qp = g.coordinate[g.n - 1];
    ExtrapolateTrack(w.Along(2), qp, qn, g.last);
    InterpolateTrack(w.Along(2), qn, g.last);
    IntersectLines(w.along[1][qn], w.along[1][g.last], w.along[0][g.last], w.along[2][g.last], w.along[1][g.last]);
    InterpolateTrack(w.Along(1), qp, qn);
    InterpolateTrack(w.Along(1), qn, g.last);
    const int edge = g.n + 2;
    w.across[edge][0] = w.along[0][g.last];
    w.across[edge][6] = w.along[1][g.last];
    w.across[edge][g.coordinate[1]] = w.along[2][g.last];
    InterpolateTrack(w.Across(edge), 0, 6);
    InterpolateTrack(w.Across(edge), 6, g.coordinate[1]);
}

void ExtendToFarEdge(const Grid& g, const View& w, int k) {
    const int qn = g.coordinate[g.n];
    ExtrapolateTrack(w.Along(k + 1), g.coordinate[g.n - 1], qn, g.last);
    InterpolateTrack(w.Along(k + 1), qn, g.last);
    w.across[g.n + 2][g.coordinate[k]] = w.along[k + 1][g.last];
    InterpolateTrack(w.Across(g.n + 2), g.coordinate[k - 1], g.coordinate[k]);
}

void PlaceBottomRight(const Grid& g) {
    const View& w = g.views[0];
    const int qn = g.coordinate[g.n], qp = g.coordinate[g.n - 1], edge = g.n + 2;
    PointF& corner = w.along[edge][g.last];
    IntersectLines(w.along[edge][qp], w.along[edge][qn], w.across[edge][qp], w.across[edge][qn], corner);
    w.across[edge][g.last] = corner;
    InterpolateTrack(w.Along(edge), qn, g.last);
    InterpolateTrack(w.Across(edge), qn, g.last);
}

}  // namespace

void AnchorTimingAlignments(const BinaryPlane& plane, ReadingArea& area) {
    const Grid g(plane, area);
    if (!g.Usable()) return;
    // Tracks beyond 0 and 1 still hold the previous candidate's points; a
    // degenerate prediction below must not pick those up.
    for (int k = 2; k <= g.n + 2; ++k) {
        std::memset(static_cast<void*>(area.rowTrack[k]), 0, sizeof area.rowTrack[k]);
        std::memset(static_cast<void*>(area.columnTrack[k]), 0, sizeof area.columnTrack[k]);
    }
    for (const View& w : g.views) AnchorOnTiming(g, w);
}

void BuildAlignmentGrid(const BinaryPlane& plane, ReadingArea& area) {
    const Grid g(plane, area);
    if (!g.Usable()) return;
    WalkFirstLine(g, g.views[0], true);
    WalkFirstLine(g, g.views[1], false);
    AnchorInterior(g);
    for (const View& w : g.views) AnchorLastOnFirstLine(g, w);
    for (int k = 2; k < g.n; ++k)
        for (const View& w : g.views) AnchorOnLastLine(g, w, k);
    AnchorCorner(g);
    for (const View& w : g.views) StartFarEdge(g, w);
    for (int k = 2; k <= g.n; ++k)
        for (const View& w : g.views) ExtendToFarEdge(g, w, k);
    PlaceBottomRight(g);
}

}  // namespace lectavo
