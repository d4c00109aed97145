#include "core/geometry.h"

#include <cmath>

namespace lectavo {

float DirectionAngle(float dx, float dy) {
    const float length = std::sqrt(dx * dx + dy * dy);
    float v = 0.0f;
    if (dy != 0.0f && length > 0.0f) v = std::asin(std::fabs(dy) / length) * 57.29578f;
    float degrees;
    if (dx > 0.0f)
        degrees = dy <= 0.0f ? v : 360.0f - v;
    else
        degrees = dy > 0.0f ? 180.0f + v : 180.0f - v;
    return degrees * 0.017453292f;
}

Line LineThrough(PointF p1, PointF p2) {
    Line line;
    line.vertical = p1.x == p2.x;
    line.at = p1.x;
    if (!line.vertical) {
        line.slope = (p2.y - p1.y) / (p2.x - p1.x);
        line.offset = p1.y - line.slope * p1.x;
    }
    return line;
}

}  // namespace lectavo
