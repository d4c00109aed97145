// A point in plane pixels and its vector arithmetic, and the four corners
// of a symbol.
#pragma once

namespace lectavo {

struct PointF {
    float x = 0.0f;
    float y = 0.0f;
};

inline PointF operator+(PointF a, PointF b) { return {a.x + b.x, a.y + b.y}; }
inline PointF operator-(PointF a, PointF b) { return {a.x - b.x, a.y - b.y}; }
inline PointF operator*(PointF a, float s) { return {a.x * s, a.y * s}; }
inline PointF operator*(float s, PointF a) { return {a.x * s, a.y * s}; }
inline PointF operator/(PointF a, float s) { return {a.x / s, a.y / s}; }

// Outer corners of a symbol in picture pixels: top-left, top-right,
// bottom-right, bottom-left as the symbol reads.
struct Quad {
    float x[4] = {};
    float y[4] = {};
};

}  // namespace lectavo
