#include "locate/boundary.h"

#include <cmath>

#include "core/geometry.h"

namespace lectavo {

namespace {

// Pixel positions along a ray: one row or column per step, the other
// coordinate recomputed from the slope and rounded.
class RayPath {
public:
    RayPath(PointF start, const RayDirection& direction)
        : xs_(start.x), ys_(start.y), x0_(RoundCoord(start.x)), y0_(RoundCoord(start.y)), d_(direction) {}

    // Calls visit(at) with at(n, x, y) giving the pixel of step n, written
    // for this path's mode so that a walk along it has no switch per step.
    template <typename Visit>
    auto Walk(Visit visit) const {
        const int step = d_.step;
        const float slope = d_.slope;
        switch (d_.mode) {
            case RayDirection::kShallow:
                return visit([this, step, slope](int n, int& x, int& y) {
                    x = x0_ + n * step;
                    y = n == 0 ? y0_ : RoundCoord(ys_ - (static_cast<float>(x) - xs_) * slope);
                });
            case RayDirection::kSteep:
                return visit([this, step, slope](int n, int& x, int& y) {
                    y = y0_ + n * step;
                    x = n == 0 ? x0_ : RoundCoord(xs_ - (static_cast<float>(y) - ys_) * slope);
                });
            case RayDirection::kVertical:
                break;
        }
        return visit([this, step](int n, int& x, int& y) {
            x = x0_;
            y = y0_ + n * step;
        });
    }

private:
    float xs_, ys_;
    int x0_, y0_;
    const RayDirection& d_;
};

// Follows the pixels at(0), at(1), ... through the dark centre, the light
// ring and the dark outer ring; see TraceRay.
template <typename PixelAt>
bool FollowRay(const BinaryPlane& plane, PixelAt at, int ox, int oy, PointF& edge) {
    const int right = plane.width - 1, bottom = plane.height - 1;
    const size_t stride = static_cast<size_t>(plane.width);
    int n = 0, x = 0, y = 0;
    // The step's pixel; false on the plane's outermost pixels. Inside them
    // the plane is read directly.
    auto next = [&](bool& dark) {
        at(n++, x, y);
        if (x <= 0 || y <= 0 || x >= right || y >= bottom) return false;
        dark = plane.pixels[static_cast<size_t>(y) * stride + static_cast<size_t>(x)] != 0;
        return true;
    };
    bool dark = false;
    do {  // the centre, until its first light pixel (which may be the start)
        if (!next(dark)) return false;
    } while (dark);
    do {  // the light ring
        if (!next(dark)) return false;
    } while (!dark);
    int px, py;
    do {  // the outer ring, ended by a light pixel or the plane border
        px = x;
        py = y;
        if (!next(dark)) {
            edge = {static_cast<float>(x + ox), static_cast<float>(y + oy)};
            return true;
        }
    } while (dark);
    edge = {static_cast<float>(px + ox), static_cast<float>(py + oy)};
    return true;
}

}  // namespace

RayDirection::RayDirection(float angle) : finite(std::isfinite(angle)) {
    const float c = std::cos(angle), s = std::sin(angle);
    if (std::fabs(c) < 0.00001f) {
        mode = kVertical;
        step = s > 0.0f ? -1 : 1;
        return;
    }
    const float t = std::tan(angle);
    // round(|tan| * 10000) <= 10000, the rounding sum formed in double as
    // in RoundCoord (in float, 10000.5 would round up).
    if (static_cast<double>(std::fabs(t) * 10000.0f) + 0.499999 < 10001.0) {
        mode = kShallow;
        step = c >= 0.0f ? 1 : -1;
        slope = t;
    } else {
        mode = kSteep;
        step = s > 0.0f ? -1 : 1;
        slope = 1.0f / t;
    }
}

bool TraceRay(const BinaryPlane& plane, PointF start, const RayDirection& direction, PointF& edge) {
    if (!std::isfinite(start.x) || !std::isfinite(start.y) || !direction.finite) return false;
    if (start.x < -1.0f || start.y < -1.0f || start.x > static_cast<float>(plane.width) ||
        start.y > static_cast<float>(plane.height))
        return false;
    const RayPath path(start, direction);
    const int ox = direction.EdgeOffsetX(), oy = direction.EdgeOffsetY();
    return path.Walk([&](auto at) { return FollowRay(plane, at, ox, oy, edge); });
}

PointF WalkBoundary(const BinaryPlane& plane, int sx, int sy, PointF centre, bool clockwise) {
    // Outward unit step across the side the start lies on.
    int ox = 0, oy = 0;
    const float dx = static_cast<float>(sx) - centre.x, dy = static_cast<float>(sy) - centre.y;
    if (std::fabs(dy) <= std::fabs(dx))
        ox = dx > 0.0f ? 1 : -1;
    else
        oy = dy < 0.0f ? -1 : 1;
    // Along the side: a quarter turn of the outward step (clockwise on screen).
    int ax = -oy, ay = ox;
    if (!clockwise) {
        ax = -ax;
        ay = -ay;
    }
    auto dark = [&](int x, int y) { return plane.Pixel(x, y) != 0; };

    int x = sx, y = sy;
    if (!dark(x, y)) {
        x -= ox;
        y -= oy;
    }
    while (true) {
        if ((ax > 0 && x >= plane.width - 1) || (ax < 0 && x <= 0) || (ay > 0 && y >= plane.height - 1) ||
            (ay < 0 && y <= 0))
            break;
        const int nx = x + ax, ny = y + ay;
        if (dark(nx, ny)) {
            x = nx;
            y = ny;
            for (int k = 0; k < 2 && dark(x + ox, y + oy); ++k) {
                x += ox;
                y += oy;
            }
            continue;
        }
        const bool outwardOfStart = (x - sx) * ox + (y - sy) * oy > 0;
        if (outwardOfStart) break;
        if (dark(nx - ox, ny - oy)) {
            x = nx - ox;
            y = ny - oy;
        } else if (dark(nx - 2 * ox, ny - 2 * oy)) {
            x = nx - 2 * ox;
            y = ny - 2 * oy;
        } else {
            break;
        }
    }
    // Right and bottom sides: the far edge of the pixel.
    return {static_cast<float>(x + (ox > 0 ? 1 : 0)), static_cast<float>(y + (oy > 0 ? 1 : 0))};
}

}  // namespace lectavo
