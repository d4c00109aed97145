// What the location stage produces: finder patterns, and located symbols
// (three finders with their outer corners, version, level and mask) that a
// sampler turns into a grid of modules.
#pragma once

#include <cstdint>

#include "core/point.h"

namespace lectavo {

inline constexpr int kMaxFinders = 128;

// Corner order used for every finder's four outer corners.
enum Corner { kTopLeft = 0, kTopRight = 1, kBottomRight = 2, kBottomLeft = 3 };

struct FinderPattern {
    float x = 0.0f, y = 0.0f;  // centre in plane pixels
    int32_t used = 0;          // set once a symbol containing it was decoded
    int32_t isVirtual = 0;     // 1 when synthesised by the two-finder completion
    // Virtual only: outer boundary points along angle(corner finder -> third
    // finder) + pi, angle(corner -> second), angle(corner -> third) and
    // angle(corner -> second) + pi: the symbol's up, right, down and left.
    PointF edge[4];
    PointF corners[4];  // virtual only: outer corners in corner order
};

struct LocatedSymbol {
    // Indices into the finder list: the corner finder, the second (top-right)
    // and the third (bottom-left).
    int32_t a = 0, b = 0, c = 0;
    PointF corners[12];   // 4 of a, 4 of b, 4 of c, each in corner order
    int32_t version = 0;  // 1-40
    int32_t level = 0;    // 0 = L, 1 = M, 2 = Q, 3 = H
    int32_t mask = 0;     // 0-7
};

}  // namespace lectavo
