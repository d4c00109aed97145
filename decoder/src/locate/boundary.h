// Tracing a finder pattern's outer boundary: rays from the centre and walks
// along one side of the outer ring.
#pragma once

#include "locate/binary_plane.h"
#include "locate/point.h"

namespace lectavo {

// Follows a ray from `start` along direction `angle` (radians, y axis up)
// through the dark centre, the light ring and the dark outer ring; `edge`
// receives the last dark pixel of the outer ring. Fails when the ray meets
// the plane border before reaching the outer ring.
bool TraceRay(const BinaryPlane& plane, PointF start, float angle, PointF& edge);

// Walks from the pixel (sx, sy) on a pattern's outer ring along the side it
// lies on, clockwise or counter-clockwise about `centre`, to the end of that
// side; the result lies on the side's outer pixel edge.
PointF WalkBoundary(const BinaryPlane& plane, int sx, int sy, PointF centre, bool clockwise);

// Pixel of a point whose coordinates are already whole (truncates).
inline int PixelIndex(float c) { return static_cast<int>(c); }

}  // namespace lectavo
