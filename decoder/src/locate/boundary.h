// Tracing a finder pattern's outer boundary: rays from the centre and walks
// along one side of the outer ring.
#pragma once

#include "core/binary_plane.h"
#include "core/point.h"

namespace lectavo {

// Pixel of a point whose coordinates are already whole (truncates).
inline int PixelIndex(float c) { return static_cast<int>(c); }

// How rays along one angle (radians, y axis up) step through the pixels:
// one column at a time (shallow), one row at a time (steep) or straight up
// or down, in which direction, and the slope. Worked out once, it serves
// every trace along that angle.
class RayDirection {
public:
    RayDirection() = default;
    explicit RayDirection(float angle);

    enum Mode { kVertical, kShallow, kSteep };
    bool finite = false;  // the angle was finite
    Mode mode = kVertical;
    int step = 1;  // +1 or -1 along the stepping axis
    float slope = 0.0f;

    // From a pixel to the pixel edge facing the direction of travel: one
    // pixel along the stepping axis when it steps towards +x or +y, none
    // towards -x or -y (a pixel's own coordinates are its left and top edges).
    int EdgeOffsetX() const { return mode == kShallow && step > 0 ? 1 : 0; }
    int EdgeOffsetY() const { return mode != kShallow && step > 0 ? 1 : 0; }
};

// Follows a ray from `start` along `direction` through the dark centre, the
// light ring and the dark outer ring; `edge` receives the outer pixel edge
// of the ring's last dark pixel, as the boundary walk places its points:
// that pixel's x + 1 when the ray steps rightwards, y + 1 when it steps
// downwards, the pixel itself otherwise. Fails when the ray meets the plane
// border before reaching the outer ring.
bool TraceRay(const BinaryPlane& plane, PointF start, const RayDirection& direction, PointF& edge);
inline bool TraceRay(const BinaryPlane& plane, PointF start, float angle, PointF& edge) {
    return TraceRay(plane, start, RayDirection(angle), edge);
}

// The last dark pixel of a trace along `direction` that reported `edge`.
inline void TracedPixel(PointF edge, const RayDirection& direction, int& x, int& y) {
    x = PixelIndex(edge.x) - direction.EdgeOffsetX();
    y = PixelIndex(edge.y) - direction.EdgeOffsetY();
}
inline void TracedPixel(PointF edge, float angle, int& x, int& y) { TracedPixel(edge, RayDirection(angle), x, y); }

// Walks from the pixel (sx, sy) on a pattern's outer ring along the side it
// lies on, clockwise or counter-clockwise about `centre`, to the end of that
// side; the result lies on the side's outer pixel edge.
PointF WalkBoundary(const BinaryPlane& plane, int sx, int sy, PointF centre, bool clockwise);

}  // namespace lectavo
