// The one way the tests draw a symbol into pixels: every pixel of a box (or
// n x n sample points in it) is mapped back into symbol coordinates, and the
// module it lands on decides. Axis-aligned renders, projective placements and
// photo-like drawings differ only in the mapping and in what a pixel becomes.
#pragma once

#include <algorithm>
#include <cmath>
#include <cstddef>
#include <cstdint>
#include <vector>

namespace testpics {

// A module grid in the standard orientation, row-major, 1 = dark.
struct Matrix {
    int side = 0;
    std::vector<uint8_t> dark;
    bool At(int row, int col) const { return dark[static_cast<size_t>(row) * side + col] != 0; }
};

// Pixels [x0, x1) x [y0, y1), clipped to the picture by DrawModules.
struct Box {
    int x0 = 0, y0 = 0, x1 = 0, y1 = 0;
};

// For each pixel of `box` inside a width x height picture, maps samples x
// samples points of it (their centres) through `toModules` (pixel point ->
// symbol point (x, y) in modules, the symbol being the square (0,0)-(side,side))
// and calls paint(pixel index, dark, inside): how many points fell on dark
// modules of `m`, and how many within `margin` modules of the symbol.
template <class ToModules, class Paint>
void DrawModules(const Matrix& m, int width, int height, Box box, int samples, float margin, ToModules toModules,
                 Paint paint) {
    const float n = static_cast<float>(m.side);
    for (int y = std::max(0, box.y0); y < std::min(height, box.y1); ++y)
        for (int x = std::max(0, box.x0); x < std::min(width, box.x1); ++x) {
            int dark = 0, inside = 0;
            for (int sy = 0; sy < samples; ++sy)
                for (int sx = 0; sx < samples; ++sx) {
                    const float px =
                        static_cast<float>(x) + (static_cast<float>(sx) + 0.5f) / static_cast<float>(samples);
                    const float py =
                        static_cast<float>(y) + (static_cast<float>(sy) + 0.5f) / static_cast<float>(samples);
                    const auto q = toModules(px, py);
                    if (q.x < -margin || q.y < -margin || q.x >= n + margin || q.y >= n + margin) continue;
                    ++inside;
                    const int c = static_cast<int>(std::floor(q.x)), r = static_cast<int>(std::floor(q.y));
                    dark += c >= 0 && r >= 0 && c < m.side && r < m.side && m.At(r, c);
                }
            paint(static_cast<size_t>(y) * static_cast<size_t>(width) + static_cast<size_t>(x), dark, inside);
        }
}

}  // namespace testpics
