// Geometry helpers shared by location and reading: rounding, direction
// angles, line intersection and a point inside a quadrilateral.
#pragma once

#include <cmath>

#include "core/point.h"

namespace lectavo {

// Whether (px, py) lies inside the quadrilateral with corners (x[k], y[k])
// in order around it, by the crossing count (a point on the outline may go
// either way). In float or double: the sums are formed in the corners' type.
template <class T>
bool InsideQuad(const T x[4], const T y[4], T px, T py) {
    bool inside = false;
    for (int i = 0, j = 3; i < 4; j = i++)
        if ((y[i] > py) != (y[j] > py) && px < (x[j] - x[i]) * (py - y[i]) / (y[j] - y[i]) + x[i]) inside = !inside;
    return inside;
}

// Float coordinate to pixel index: add 0.499999 and truncate (an exact .5
// rounds down). The sum is formed in double; in float it rounds to the next
// integer for c >= 32.
inline int RoundCoord(float c) { return static_cast<int>(static_cast<double>(c) + 0.499999); }

// Direction angle in [0, 2*pi), counter-clockwise with the y axis pointing
// up, of the vector (dx, dy) given in pixel coordinates (y down).
float DirectionAngle(float dx, float dy);

inline float DirectionAngle(PointF from, PointF to) { return DirectionAngle(to.x - from.x, to.y - from.y); }

// Distance and line intersection are inline: the finder search and module
// sampling call them in their inner loops.
inline float Distance(PointF p, PointF q) {
    const float dx = p.x - q.x, dy = p.y - q.y;
    return std::sqrt(dx * dx + dy * dy);
}

// The line through two points as y = slope x + offset, or x = at when the
// points have the same x. Made once, it serves many intersections.
struct Line {
    bool vertical = false;
    float slope = 0.0f, offset = 0.0f;  // when not vertical
    float at = 0.0f;                    // x of a vertical line
};

Line LineThrough(PointF p1, PointF p2);

// Intersection of two lines; false for two vertical lines or equal slopes
// (out untouched).
inline bool IntersectLines(const Line& a, const Line& b, PointF& out) {
    if (a.vertical && b.vertical) return false;
    if (a.vertical) {
        out = {a.at, b.slope * a.at + b.offset};
        return true;
    }
    if (b.vertical) {
        out = {b.at, a.slope * b.at + a.offset};
        return true;
    }
    if (a.slope == b.slope) return false;
    const float x = (b.offset - a.offset) / (a.slope - b.slope);
    const float y = std::fabs(a.slope) <= std::fabs(b.slope) ? a.slope * x + a.offset : b.slope * x + b.offset;
    out = {x, y};
    return true;
}

// Intersection of the line through p1, p2 with the line through p3, p4.
inline bool IntersectLines(PointF p1, PointF p2, PointF p3, PointF p4, PointF& out) {
    return IntersectLines(LineThrough(p1, p2), LineThrough(p3, p4), out);
}

}  // namespace lectavo
