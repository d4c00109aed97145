#include "photo/edge_corner.h"

#include <cmath>

#include "photo/grid_sampler.h"

namespace lectavo::photo {
namespace {

struct Line {
    PointF at;   // a point on the line
    PointF dir;  // unit direction
};

// Walks from the finder centre outward along one module axis and returns the
// third colour change (stone to light ring, light ring to dark ring, dark ring
// to the quiet zone): a point on the finder's outer edge.
bool EdgePoint(const BinaryPicture& plane, const Homography& h, bool alongColumns, float across, int side,
               PointF& out) {
    const float start = side - 3.5f;
    constexpr float kStep = 0.1f;
    uint8_t previous = 1;
    int changes = 0;
    for (float t = start; t <= side + 1.5f; t += kStep) {
        const PointF p = alongColumns ? h.Map(t, across) : h.Map(across, t);
        const uint8_t bit = SampleAt(plane, p);
        if (bit != previous && ++changes == 3) {
            out = alongColumns ? h.Map(t - kStep / 2, across) : h.Map(across, t - kStep / 2);
            return true;
        }
        previous = bit;
    }
    return false;
}

// Least-squares line through the points (principal axis).
bool FitLine(const PointF* p, int n, Line& line) {
    if (n < 4) return false;
    float mx = 0, my = 0;
    for (int i = 0; i < n; ++i) mx += p[i].x, my += p[i].y;
    mx /= n;
    my /= n;
    float sxx = 0, sxy = 0, syy = 0;
    for (int i = 0; i < n; ++i) {
        const float dx = p[i].x - mx, dy = p[i].y - my;
        sxx += dx * dx, sxy += dx * dy, syy += dy * dy;
    }
    const float angle = 0.5f * std::atan2(2 * sxy, sxx - syy);
    line = {{mx, my}, {std::cos(angle), std::sin(angle)}};
    return std::isfinite(angle);
}

float Residual(const Line& line, const PointF& p) {
    return std::abs((p.x - line.at.x) * line.dir.y - (p.y - line.at.y) * line.dir.x);
}

bool TraceEdge(const BinaryPicture& plane, const Homography& h, bool alongColumns, int side, Line& line) {
    PointF points[7];
    int n = 0;
    // Lines through the stone (modules 2-4 of the finder, clear of its
    // borders), where the walk crosses all three rings.
    for (int k = 0; k < 7; ++k) {
        const float across = 2.25f + 0.4f * k;
        if (EdgePoint(plane, h, alongColumns, across, side, points[n])) ++n;
    }
    // A walk that met a speck stops early or late: keep the points within a
    // pixel of the line through the pair of points that most agree with.
    int bestInliers = 0;
    Line best;
    for (int i = 0; i < n; ++i)
        for (int j = i + 1; j < n; ++j) {
            const float dx = points[j].x - points[i].x, dy = points[j].y - points[i].y, d = std::hypot(dx, dy);
            if (d < 1.0f) continue;
            const Line candidate{points[i], {dx / d, dy / d}};
            int inliers = 0;
            for (int k = 0; k < n; ++k) inliers += Residual(candidate, points[k]) <= 1.0f;
            if (inliers > bestInliers) bestInliers = inliers, best = candidate;
        }
    int kept = 0;
    for (int k = 0; k < n; ++k)
        if (bestInliers > 0 && Residual(best, points[k]) <= 1.0f) points[kept++] = points[k];
    return FitLine(points, kept, line);
}

}  // namespace

bool FindOuterCorner(const BinaryPicture& plane, const Homography& rough, int side, PointF& corner) {
    Line right, bottom;
    if (!TraceEdge(plane, rough, true, side, right) || !TraceEdge(plane, rough, false, side, bottom)) return false;
    const float den = right.dir.x * bottom.dir.y - right.dir.y * bottom.dir.x;
    if (std::abs(den) < 0.3f) return false;  // nearly parallel edges: not a symbol corner
    const float dx = bottom.at.x - right.at.x, dy = bottom.at.y - right.at.y;
    const float t = (dx * bottom.dir.y - dy * bottom.dir.x) / den;
    corner = {right.at.x + t * right.dir.x, right.at.y + t * right.dir.y};
    // Reject a corner far from where the rough map puts it.
    const PointF expected = rough.Map(static_cast<float>(side), static_cast<float>(side));
    const PointF unit = rough.Map(static_cast<float>(side) + 1, static_cast<float>(side));
    const float module = std::hypot(unit.x - expected.x, unit.y - expected.y);
    return std::hypot(corner.x - expected.x, corner.y - expected.y) <= module * side * 0.25f;
}

}  // namespace lectavo::photo
