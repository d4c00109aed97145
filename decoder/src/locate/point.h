// Point arithmetic for the location stage, kept in its own namespace so it
// never collides with other stages' helpers.
#pragma once

#include "symbol_search.h"

namespace lectavo::pointmath {

inline PointF operator+(PointF a, PointF b) { return {a.x + b.x, a.y + b.y}; }
inline PointF operator-(PointF a, PointF b) { return {a.x - b.x, a.y - b.y}; }
inline PointF operator*(PointF a, float s) { return {a.x * s, a.y * s}; }
inline PointF operator/(PointF a, float s) { return {a.x / s, a.y / s}; }

}  // namespace lectavo::pointmath
