// Tracing a finder pattern's outer boundary: rays from the centre and walks
// along one side of the outer ring.
#pragma once

#include "locate/binary_plane.h"
#include "locate/point.h"

namespace lectavo {

// Follows a ray from `start` along direction `angle` (radians, y axis up)
// through the dark centre, the light ring and the dark outer ring; `edge`
// receives the outer pixel edge of the ring's last dark pixel, as the
// boundary walk places its points: that pixel's x + 1 when the ray steps
// rightwards, y + 1 when it steps downwards, the pixel itself otherwise.
// Fails when the ray meets the plane border before reaching the outer ring.
bool TraceRay(const BinaryPlane& plane, PointF start, float angle, PointF& edge);

// The last dark pixel of a trace along `angle` that reported `edge`.
void TracedPixel(PointF edge, float angle, int& x, int& y);

// Walks from the pixel (sx, sy) on a pattern's outer ring along the side it
// lies on, clockwise or counter-clockwise about `centre`, to the end of that
// side; the result lies on the side's outer pixel edge.
PointF WalkBoundary(const BinaryPlane& plane, int sx, int sy, PointF centre, bool clockwise);

// Pixel of a point whose coordinates are already whole (truncates).
inline int PixelIndex(float c) { return static_cast<int>(c); }

}  // namespace lectavo
