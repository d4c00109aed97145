#include "photo/triple_reading.h"

#include <algorithm>
#include <cmath>

#include "common/qr_tables.h"
#include "photo/alignment_search.h"
#include "photo/edge_corner.h"
#include "photo/format_reading.h"

namespace lectavo::photo {
namespace {

Point Minus(Point a, Point b) { return {a.x - b.x, a.y - b.y}; }
float Length(Point a) { return std::hypot(a.x, a.y); }

// Picture steps of one module along columns and rows at (u, v).
void LocalAxes(const Homography& h, float u, float v, Point& at, Point& ex, Point& ey) {
    at = h.Map(u, v);
    ex = Minus(h.Map(u + 1, v), at);
    ey = Minus(h.Map(u, v + 1), at);
}

bool FitFourth(const Point& tl, const Point& tr, const Point& bl, int side, Point src4, Point dst4, Homography& h) {
    const float f = side - 3.5f;
    const Point src[4] = {{3.5f, 3.5f}, {f, 3.5f}, src4, {3.5f, f}};
    const Point dst[4] = {tl, tr, dst4, bl};
    return h.Fit(src, dst);
}

// Every alignment pattern of a large version, each searched near where the
// global map and its already found neighbours put it.
void FollowAlignmentGrid(const BinaryPlane& plane, int version, ModuleMap& map) {
    const qrcommon::AlignmentRow& row = qrcommon::kAlignment[version];
    const int n = row.count;
    if (n < 3) return;
    Point points[49];
    Point shift[49];
    bool located[49] = {};
    for (int i = 0; i < n; ++i)
        for (int j = 0; j < n; ++j) {
            const int k = i * n + j;
            Point at, ex, ey;
            LocalAxes(map.Global(), row.pos[j] + 0.5f, row.pos[i] + 0.5f, at, ex, ey);
            shift[k] = {0, 0};
            const bool inFinder = (i == 0 && j == 0) || (i == 0 && j == n - 1) || (i == n - 1 && j == 0);
            if (inFinder) {
                points[k] = at;
                located[k] = true;
                continue;
            }
            // Where neighbours above and to the left were found off the global
            // map, this one is likely off the same way.
            float sx = 0, sy = 0;
            int m = 0;
            for (int nk : {i > 0 ? k - n : -1, j > 0 ? k - 1 : -1, i > 0 && j > 0 ? k - n - 1 : -1})
                if (nk >= 0 && located[nk]) sx += shift[nk].x, sy += shift[nk].y, ++m;
            const Point predicted{at.x + (m ? sx / m : 0), at.y + (m ? sy / m : 0)};
            Point found;
            if (FindAlignment(plane, predicted, ex, ey, 3, found)) {
                points[k] = found;
                shift[k] = Minus(found, at);
                located[k] = true;
            } else {
                points[k] = predicted;
                shift[k] = Minus(predicted, at);
            }
        }
    map.SetCells(row.pos, n, points);
}

bool TryOrientations(const BinaryPlane& plane, const ModuleMap& map, int version, const GridTrial& trial) {
    static thread_local SampledGrid straight, mirrored;
    const int side = qrcommon::SymbolSide(version);
    SampleGrid(plane, map, side, straight);
    mirrored = straight;
    Transpose(mirrored);
    const FormatReading fs = ReadFormat(straight), fm = ReadFormat(mirrored);
    const Point c[4] = {map.Map(0, 0), map.Map(static_cast<float>(side), 0),
                        map.Map(static_cast<float>(side), static_cast<float>(side)),
                        map.Map(0, static_cast<float>(side))};
    auto attempt = [&](SampledGrid& grid, const FormatReading& f, bool isMirrored) {
        if (f.distance > 3) return false;
        grid.version = version;
        grid.level = f.level;
        grid.mask = f.mask;
        Quad q;
        const int order[4] = {0, isMirrored ? 3 : 1, 2, isMirrored ? 1 : 3};
        for (int i = 0; i < 4; ++i) q.x[i] = c[order[i]].x, q.y[i] = c[order[i]].y;
        return trial(grid, q);
    };
    if (fs.distance <= fm.distance) return attempt(straight, fs, false) || attempt(mirrored, fm, true);
    return attempt(mirrored, fm, true) || attempt(straight, fs, false);
}

}  // namespace

ModuleMap MapSymbol(const BinaryPlane& plane, const Point& tl, const Point& tr, const Point& bl, int version) {
    const int side = qrcommon::SymbolSide(version);
    const float f = side - 3.5f;
    Homography affine;
    FitFourth(tl, tr, bl, side, {f, f}, {tr.x + bl.x - tl.x, tr.y + bl.y - tl.y}, affine);
    if (version == 1) {
        Point corner;
        Homography h;
        if (FindOuterCorner(plane, affine, side, corner) &&
            FitFourth(tl, tr, bl, side, {static_cast<float>(side), static_cast<float>(side)}, corner, h))
            return ModuleMap(h);
        return ModuleMap(affine);
    }
    const float a = side - 6.5f;
    Point at, ex, ey, found;
    LocalAxes(affine, a, a, at, ex, ey);
    Homography h = affine;
    for (float radius : {4.0f, 4.0f + side / 12.0f})
        if (FindAlignment(plane, at, ex, ey, radius, found)) {
            if (!FitFourth(tl, tr, bl, side, {a, a}, found, h)) h = affine;
            break;
        }
    ModuleMap map(h);
    if (version >= 7) FollowAlignmentGrid(plane, version, map);
    return map;
}

bool ReadSymbol(const BinaryPlane& plane, const FinderCandidate& tl, const FinderCandidate& tr,
                const FinderCandidate& bl, const GridTrial& trial) {
    const float top = Length(Minus(tr.centre, tl.centre)) / ((tl.moduleSize + tr.moduleSize) / 2);
    const float left = Length(Minus(bl.centre, tl.centre)) / ((tl.moduleSize + bl.moduleSize) / 2);
    const int estimate = std::clamp(static_cast<int>(std::lround(((top + left) / 2 + 7 - 17) / 4)), 1, 40);
    for (int version : {estimate, estimate + 1, estimate - 1}) {
        if (version < 1 || version > 40) continue;
        bool confirmed = false;
        ModuleMap map = MapSymbol(plane, tl.centre, tr.centre, bl.centre, version);
        if (version >= 7) {
            // The version information outranks the estimate when it reads.
            static thread_local SampledGrid probe;
            SampleGrid(plane, map, qrcommon::SymbolSide(version), probe);
            const int read = ReadVersion(probe);
            if (read != 0 && read != version) map = MapSymbol(plane, tl.centre, tr.centre, bl.centre, read);
            if (read != 0) version = read, confirmed = true;
        }
        if (TryOrientations(plane, map, version, trial)) return true;
        if (confirmed) return false;
    }
    return false;
}

}  // namespace lectavo::photo
