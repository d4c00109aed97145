// Helpers for the location-stage tests: a search object over a rendered
// picture, and where a rendered symbol's finders and corners truly are.
#pragma once

#include <cstdint>
#include <vector>

#include "common/bch.h"
#include "search_fixture.h"
#include "test_pictures.h"

namespace locfix {

// A binary plane with a search object looking at it.
struct PlaneSearch {
    std::vector<uint8_t> plane;
    testsearch::Search search;

    PlaneSearch(const testpics::Picture& p, int minModule = 1) : plane(testpics::Binarize(p)) {
        search.minModuleSize = static_cast<uint8_t>(minModule);
        search.plane.pixels = plane.data();
        search.plane.width = p.width;
        search.plane.height = p.height;
    }
    PlaneSearch(const PlaneSearch&) = delete;
    PlaneSearch& operator=(const PlaneSearch&) = delete;
};

// Where a point given in module units of the upright symbol (x right, y down,
// 0..side) lands in a picture made by testpics::Render.
struct Placement {
    int side, modulePx, quiet, turns;

    lectavo::PointF Map(float x, float y) const {
        for (int t = 0; t < (turns & 3); ++t) {  // clockwise quarter turn
            const float nx = static_cast<float>(side) - y, ny = x;
            x = nx;
            y = ny;
        }
        return {(static_cast<float>(quiet) + x) * static_cast<float>(modulePx),
                (static_cast<float>(quiet) + y) * static_cast<float>(modulePx)};
    }

    // Finder centres: 0 top-left, 1 top-right, 2 bottom-left (upright).
    lectavo::PointF FinderCentre(int role) const {
        const float far = static_cast<float>(side) - 3.5f;
        return role == 0 ? Map(3.5f, 3.5f) : role == 1 ? Map(far, 3.5f) : Map(3.5f, far);
    }

    // Outer corner k (corner order) of the finder in `role`.
    lectavo::PointF FinderCorner(int role, int k) const {
        const float x0 = role == 1 ? static_cast<float>(side - 7) : 0.0f;
        const float y0 = role == 2 ? static_cast<float>(side - 7) : 0.0f;
        const float dx = (k == 1 || k == 2) ? 7.0f : 0.0f, dy = (k >= 2) ? 7.0f : 0.0f;
        return Map(x0 + dx, y0 + dy);
    }
};

// Mask of a symbol at a known level, found by matching the format modules
// beside the top-left finder with the eight masked format codewords; -1 when
// none matches exactly.
inline int MaskOf(const testpics::Matrix& m, int level) {
    static const int kIndicator[4] = {1, 0, 3, 2};
    uint32_t word = 0;
    for (int k = 0; k <= 5; ++k) word |= static_cast<uint32_t>(m.At(k, 8)) << k;
    word |= static_cast<uint32_t>(m.At(7, 8)) << 6;
    word |= static_cast<uint32_t>(m.At(8, 8)) << 7;
    word |= static_cast<uint32_t>(m.At(8, 7)) << 8;
    for (int k = 0; k <= 5; ++k) word |= static_cast<uint32_t>(m.At(8, 5 - k)) << (9 + k);
    for (uint32_t mask = 0; mask < 8; ++mask)
        if ((qrcommon::FormatCodeword((kIndicator[level] << 3) | mask) ^ qrcommon::kFormatMask) == word)
            return static_cast<int>(mask);
    return -1;
}

}  // namespace locfix
