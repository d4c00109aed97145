// Geometry helpers shared by location and reading: rounding, direction
// angles and line intersection.
#pragma once

#include <cmath>

#include "locate/point.h"

namespace lectavo {

// Float coordinate to pixel index: add 0.499999 and truncate (an exact .5
// rounds down). The sum is formed in double; in float it rounds to the next
// integer for c >= 32.
inline int RoundCoord(float c) { return static_cast<int>(static_cast<double>(c) + 0.499999); }

// Direction angle in [0, 2*pi), counter-clockwise with the y axis pointing
// up, of the vector (dx, dy) given in pixel coordinates (y down).
float DirectionAngle(float dx, float dy);

inline float DirectionAngle(PointF from, PointF to) { return DirectionAngle(to.x - from.x, to.y - from.y); }

// Distance and line intersection are inline: module sampling calls them for
// every module.
inline float Distance(PointF p, PointF q) {
    const float dx = p.x - q.x, dy = p.y - q.y;
    return std::sqrt(dx * dx + dy * dy);
}

// Intersection of the line through p1, p2 with the line through p3, p4.
// Returns false for two vertical lines or equal slopes (out untouched).
inline bool IntersectLines(PointF p1, PointF p2, PointF p3, PointF p4, PointF& out) {
    const bool vertical1 = p1.x == p2.x;
    const bool vertical2 = p3.x == p4.x;
    if (vertical1 && vertical2) return false;
    float k1 = 0.0f, h1 = 0.0f, k2 = 0.0f, h2 = 0.0f;
    if (!vertical1) {
        k1 = (p2.y - p1.y) / (p2.x - p1.x);
        h1 = p1.y - k1 * p1.x;
    }
    if (!vertical2) {
        k2 = (p4.y - p3.y) / (p4.x - p3.x);
        h2 = p3.y - k2 * p3.x;
    }
    if (vertical1) {
        out = {p1.x, k2 * p1.x + h2};
        return true;
    }
    if (vertical2) {
        out = {p3.x, k1 * p3.x + h1};
        return true;
    }
    if (k1 == k2) return false;
    const float x = (h2 - h1) / (k1 - k2);
    const float y = std::fabs(k1) <= std::fabs(k2) ? k1 * x + h1 : k2 * x + h2;
    out = {x, y};
    return true;
}

}  // namespace lectavo
