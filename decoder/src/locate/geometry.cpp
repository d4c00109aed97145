#include "locate/geometry.h"

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

float Distance(PointF p, PointF q) {
    const float dx = p.x - q.x, dy = p.y - q.y;
    return std::sqrt(dx * dx + dy * dy);
}

bool IntersectLines(PointF p1, PointF p2, PointF p3, PointF p4, PointF& out) {
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
