// Reading-stage fixtures: a rendered symbol placed by a known map from
// symbol coordinates (modules, x right, y down) to pixels, so that the exact
// finder corners of a SymbolCandidate are known without the location stage.
#pragma once

#include <algorithm>
#include <cmath>
#include <functional>
#include <string>
#include <vector>

#include "search_fixture.h"
#include "test_pictures.h"

namespace readfix {

using lectavo::PointF;

// Symbol point -> pixel point, and its inverse for rendering.
struct Placement {
    std::function<PointF(PointF)> forward;
    std::function<PointF(PointF)> inverse;
};

// Quarter turns clockwise of a side-S symbol inside its own square.
inline PointF Turn(PointF p, int side, int quarterTurns) {
    const float s = static_cast<float>(side);
    switch (quarterTurns & 3) {
        case 1:
            return {s - p.y, p.x};
        case 2:
            return {s - p.x, s - p.y};
        case 3:
            return {p.y, s - p.x};
        default:
            return p;
    }
}

// Module size `px`, `quiet` modules of margin, quarter turns, then a shear
// (x += shear * y) and a vertical stretch, all in the turned frame.
inline Placement Affine(int side, float px, int quiet, int quarterTurns, float stretchY = 1.0f, float shear = 0.0f) {
    Placement p;
    p.forward = [=](PointF s) {
        const PointF t = Turn(s, side, quarterTurns);
        return PointF{px * (quiet + t.x + shear * t.y), px * stretchY * (quiet + t.y)};
    };
    p.inverse = [=](PointF q) {
        const float ty = q.y / (px * stretchY) - quiet;
        const float tx = q.x / px - quiet - shear * ty;
        return Turn({tx, ty}, side, 4 - (quarterTurns & 3));
    };
    return p;
}

// The placement moved by (dx, dy) pixels.
inline Placement Shifted(const Placement& p, float dx, float dy) {
    return {[=](PointF s) {
                const PointF q = p.forward(s);
                return PointF{q.x + dx, q.y + dy};
            },
            [=](PointF q) {
                return p.inverse({q.x - dx, q.y - dy});
            }};
}

// The symbol square (0,0)-(S,S) mapped projectively onto the pixel
// quadrilateral q[0..3] (images of its top-left, top-right, bottom-right and
// bottom-left corners).
inline Placement Perspective(int side, const PointF q[4]) {
    const double x0 = q[0].x, y0 = q[0].y, x1 = q[1].x, y1 = q[1].y, x2 = q[2].x, y2 = q[2].y, x3 = q[3].x, y3 = q[3].y;
    const double dx1 = x1 - x2, dx2 = x3 - x2, dx3 = x0 - x1 + x2 - x3;
    const double dy1 = y1 - y2, dy2 = y3 - y2, dy3 = y0 - y1 + y2 - y3;
    const double den = dx1 * dy2 - dx2 * dy1;
    const double g = (dx3 * dy2 - dx2 * dy3) / den, h = (dx1 * dy3 - dx3 * dy1) / den;
    const double s = side;
    // Homography on symbol coordinates: [a b c; d e f; g h 1] with u = x / S.
    const double m[9] = {(x1 - x0 + g * x1) / s,
                         (x3 - x0 + h * x3) / s,
                         x0,
                         (y1 - y0 + g * y1) / s,
                         (y3 - y0 + h * y3) / s,
                         y0,
                         g / s,
                         h / s,
                         1.0};
    const double inv[9] = {m[4] * m[8] - m[5] * m[7], m[2] * m[7] - m[1] * m[8], m[1] * m[5] - m[2] * m[4],
                           m[5] * m[6] - m[3] * m[8], m[0] * m[8] - m[2] * m[6], m[2] * m[3] - m[0] * m[5],
                           m[3] * m[7] - m[4] * m[6], m[1] * m[6] - m[0] * m[7], m[0] * m[4] - m[1] * m[3]};
    const auto apply = [](const double* t, PointF p) {
        const double w = t[6] * p.x + t[7] * p.y + t[8];
        return PointF{static_cast<float>((t[0] * p.x + t[1] * p.y + t[2]) / w),
                      static_cast<float>((t[3] * p.x + t[4] * p.y + t[5]) / w)};
    };
    Placement p;
    std::vector<double> fm(m, m + 9), fi(inv, inv + 9);
    p.forward = [=](PointF a) { return apply(fm.data(), a); };
    p.inverse = [=](PointF a) { return apply(fi.data(), a); };
    return p;
}

// Darkens, in a binary plane, the pixels whose centre falls on a dark module
// of `m` under `placement` (within the symbol's bounding box).
inline void PaintSymbol(std::vector<uint8_t>& plane, int width, int height, const testpics::Matrix& m,
                        const Placement& placement) {
    const float s = static_cast<float>(m.side);
    float x0 = 1e9f, y0 = 1e9f, x1 = -1e9f, y1 = -1e9f;
    for (PointF c : {PointF{0, 0}, PointF{s, 0}, PointF{s, s}, PointF{0, s}}) {
        const PointF p = placement.forward(c);
        x0 = std::min(x0, p.x), y0 = std::min(y0, p.y), x1 = std::max(x1, p.x), y1 = std::max(y1, p.y);
    }
    const testpics::Box box{static_cast<int>(x0) - 1, static_cast<int>(y0) - 1, static_cast<int>(x1) + 2,
                            static_cast<int>(y1) + 2};
    testpics::DrawModules(
        m, width, height, box, 1, 0.0f,
        [&](float px, float py) {
            return placement.inverse({px, py});
        },
        [&](size_t at, int dark, int) {
            if (dark) plane[at] = 1;
        });
}

inline std::vector<uint8_t> RenderPlane(const testpics::Matrix& m, const Placement& placement, int width, int height) {
    std::vector<uint8_t> plane(static_cast<size_t>(width) * height, 0);
    PaintSymbol(plane, width, height, m, placement);
    return plane;
}

// Level (0-3) and mask of the format information beside the top-left finder.
inline void ReadFormat(const testpics::Matrix& m, int& level, int& mask) {
    uint32_t word = 0;
    auto take = [&](int x, int y) { word = (word << 1) | (m.At(y, x) ? 1u : 0u); };
    for (int x = 0; x <= 5; ++x) take(x, 8);
    take(7, 8);
    take(8, 8);
    take(8, 7);
    for (int y = 5; y >= 0; --y) take(8, y);
    word ^= 0x5412;
    static const int kLevels[4] = {1, 0, 3, 2};  // indicator bits M, L, H, Q
    level = kLevels[(word >> 13) & 3];
    mask = static_cast<int>((word >> 10) & 7);
}

// Appends the three finders of the placed symbol to search.finders and
// returns the candidate with their outer corners.
inline lectavo::LocatedSymbol AddCandidate(testsearch::Search& search, const testpics::Matrix& m,
                                           const Placement& placement) {
    const float s = static_cast<float>(m.side);
    const PointF origins[3] = {{0, 0}, {s - 7, 0}, {0, s - 7}};
    lectavo::LocatedSymbol c;
    int* indices[3] = {&c.a, &c.b, &c.c};
    for (int f = 0; f < 3; ++f) {
        const PointF o = origins[f];
        const PointF corners[4] = {o, {o.x + 7, o.y}, {o.x + 7, o.y + 7}, {o.x, o.y + 7}};
        for (int k = 0; k < 4; ++k) c.corners[4 * f + k] = placement.forward(corners[k]);
        const PointF centre = placement.forward({o.x + 3.5f, o.y + 3.5f});
        lectavo::FinderPattern finder;
        finder.x = centre.x;
        finder.y = centre.y;
        *indices[f] = static_cast<int>(search.finders.size());
        search.finders.push_back(finder);
    }
    c.version = (m.side - 17) / 4;
    ReadFormat(m, c.level, c.mask);
    search.candidates.push_back(c);
    return c;
}

// Text of the given length that needs about that many byte-mode codewords.
inline std::string Text(int length, char seed = 'a') {
    std::string t;
    for (int i = 0; i < length; ++i) t.push_back(static_cast<char>(seed + (i * 7) % 26));
    return t;
}

}  // namespace readfix
