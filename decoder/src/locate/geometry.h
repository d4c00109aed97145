// Geometry helpers shared by location and reading: rounding, direction
// angles and line intersection.
#pragma once

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

float Distance(PointF p, PointF q);

// Intersection of the line through p1, p2 with the line through p3, p4.
// Returns false for two vertical lines or equal slopes (out untouched).
bool IntersectLines(PointF p1, PointF p2, PointF p3, PointF p4, PointF& out);

}  // namespace lectavo
