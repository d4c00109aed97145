// The finder scan skips the sampled pixels that lie in a dark run already
// examined. This checks it against the rule as written (every sampled dark
// pixel cross-checked, refined and de-duplicated) on many planes: both must
// store the same patterns, in the same order, at the same float positions.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <random>
#include <vector>

#include "locate/finder_scan.h"
#include "core/geometry.h"
#include "crafted_pictures.h"
#include "search_fixture.h"
#include "test_pictures.h"

namespace {

using lectavo::RunEdges;
using testsearch::Search;

std::vector<lectavo::FinderPattern> PlainScan(const Search& search) {
    std::vector<lectavo::FinderPattern> out;
    const int step = 2 * std::max(1, static_cast<int>(search.minModuleSize));
    for (int y = step; y < search.plane.height - step; y += step)
        for (int x = step; x < search.plane.width - step; x += step) {
            if (out.size() >= 128) return out;
            if (!search.plane.Pixel(x, y)) continue;
            RunEdges r;
            if (!lectavo::CrossCheckHorizontal(search.plane, x, y, r)) continue;
            float cx = r.Centre();
            if (!lectavo::CrossCheckVertical(search.plane, lectavo::RoundCoord(cx), y, r)) continue;
            float cy = r.Centre();
            bool ok = true;
            for (int round = 0; round < 8; ++round) {
                if (!lectavo::CrossCheckHorizontal(search.plane, lectavo::RoundCoord(cx), lectavo::RoundCoord(cy), r)) {
                    ok = false;
                    break;
                }
                const float nx = r.Centre();
                if (!lectavo::CrossCheckVertical(search.plane, lectavo::RoundCoord(nx), lectavo::RoundCoord(cy), r)) {
                    ok = false;
                    break;
                }
                const float ny = r.Centre();
                const bool converged = nx == cx && ny == cy;
                cx = nx;
                cy = ny;
                if (converged) break;
            }
            if (!ok) continue;
            bool near = false;
            for (const auto& f : out) near = near || (std::fabs(f.x - cx) < 1.0f && std::fabs(f.y - cy) < 1.0f);
            if (near) continue;
            lectavo::FinderPattern f;
            f.x = cx;
            f.y = cy;
            out.push_back(f);
        }
    return out;
}

// Returns how many patterns both scans stored, so callers can make sure the
// comparison was not trivially empty.
size_t ExpectSameScan(const std::vector<uint8_t>& plane, int width, int height, int minModule) {
    Search search;
    search.plane.pixels = plane.data();
    search.plane.width = width;
    search.plane.height = height;
    search.minModuleSize = static_cast<uint8_t>(minModule);
    const auto expected = PlainScan(search);
    lectavo::FinderScan(search.plane, search.state.minModuleSize, 1, search.state.finders);
    EXPECT_EQ(search.finders.size(), expected.size());
    for (size_t i = 0; i < expected.size() && i < search.finders.size(); ++i) {
        EXPECT_EQ(search.finders[i].x, expected[i].x);
        EXPECT_EQ(search.finders[i].y, expected[i].y);
    }
    return expected.size();
}

TEST(FinderScanEquivalence, RenderedSymbolsAtManySizesAndTurns) {
    std::mt19937 rng(7);
    size_t found = 0;
    for (int version = 1; version <= 40; version += 3) {
        const testpics::Matrix m =
            testpics::FromQrencode("equivalence " + std::to_string(version), version, version % 4);
        for (int px = 2; px <= 6; ++px) {
            const testpics::Picture p = testpics::Render(m, px, 3, (version + px) % 4);
            found += ExpectSameScan(testpics::Binarize(p), p.width, p.height, 1 + static_cast<int>(rng() % 3));
        }
    }
    EXPECT_GT(found, 150u);
}

TEST(FinderScanEquivalence, NoisePlanesAndBlockyPlanes) {
    std::mt19937 rng(11);
    size_t found = 0;
    for (int trial = 0; trial < 300; ++trial) {
        const int w = 21 + static_cast<int>(rng() % 200), h = 21 + static_cast<int>(rng() % 200);
        std::vector<uint8_t> plane(static_cast<size_t>(w) * h);
        const int block = 1 + static_cast<int>(rng() % 6);
        const int density = static_cast<int>(rng() % 60);
        for (int y = 0; y < h; ++y)
            for (int x = 0; x < w; ++x) {
                // Blocks of random size give runs of many lengths.
                std::minstd_rand cell(static_cast<unsigned>((y / block) * 1000003 + (x / block) * 7919 + trial));
                plane[static_cast<size_t>(y) * w + x] = static_cast<int>(cell() % 100) < density ? 1 : 0;
            }
        // Finder-like squares (dark ring, light ring, dark centre) of random
        // module sizes, some overlapping each other or the border.
        const int squares = static_cast<int>(rng() % 8);
        for (int k = 0; k < squares; ++k) {
            const int mod = 1 + static_cast<int>(rng() % 5);
            const int x0 = static_cast<int>(rng() % w) - 3, y0 = static_cast<int>(rng() % h) - 3;
            for (int dy = 0; dy < 7 * mod; ++dy)
                for (int dx = 0; dx < 7 * mod; ++dx) {
                    const int x = x0 + dx, y = y0 + dy;
                    if (x < 0 || y < 0 || x >= w || y >= h) continue;
                    const int ring = std::min(std::min(dx, dy), std::min(7 * mod - 1 - dx, 7 * mod - 1 - dy)) / mod;
                    plane[static_cast<size_t>(y) * w + x] = ring == 1 ? 0 : 1;
                }
        }
        found += ExpectSameScan(plane, w, h, 1 + static_cast<int>(rng() % 4));
    }
    EXPECT_GT(found, 20u);
}

// Long runs across many scan rows (stripes, rings, grids of patterns): the
// scan remembers each column's last vertical check.
TEST(FinderScanEquivalence, CraftedPlanes) {
    size_t found = 0;
    for (const crafted::Kind kind : crafted::AllKinds()) {
        const crafted::Picture p = crafted::Make(kind, 240);
        std::vector<uint8_t> plane(p.pixels.size());
        for (size_t i = 0; i < plane.size(); ++i) plane[i] = p.pixels[i] < 128 ? 1 : 0;
        found += ExpectSameScan(plane, p.width, p.height, 1);
    }
    EXPECT_GT(found, 100u);
}

}  // namespace
