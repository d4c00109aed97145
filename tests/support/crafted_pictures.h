// Crafted pictures that try to make the decoder's scans do more than linear
// work: stripes in the finder rhythm in each direction, checkerboards,
// concentric squares, grids of bare finder patterns, noise, gradients and
// flat pictures. Shared by the crafted-picture test and benchmark, so both
// look at the same pixels. Grey pixels, 0 dark and 255 light.
#pragma once

#include <algorithm>
#include <cstdint>
#include <cstdlib>
#include <random>
#include <string>
#include <vector>

namespace crafted {

struct Picture {
    int width = 0, height = 0;
    std::vector<uint8_t> pixels;
};

enum class Kind {
    kStripesVertical1,  // finder rhythm 1:1:3:1:1 then a light module, 1 px modules
    kStripesVertical4,
    kStripesHorizontal1,
    kStripesHorizontal4,
    kStripesDiagonal1,
    kStripesDiagonal4,
    kChecker1,
    kChecker2,
    kChecker3,
    kChecker4,
    kChecker5,
    kChecker6,
    kChecker7,
    kChecker8,
    kConcentric2,       // square rings 2 px wide
    kConcentricFinder,  // a finder's centre stone with rings of its module around it, to the border
    kFinderGrid1,       // bare finder patterns, 1 px modules, one module apart
    kFinderGrid3,       // 3 px modules, two modules apart
    kNoise,
    kGradient,
    kAllDark,
    kAllLight,
    kCount
};

inline std::string Name(Kind kind) {
    static const char* const names[] = {
        "stripes_v1", "stripes_v4", "stripes_h1",  "stripes_h4",        "stripes_d1",   "stripes_d4",
        "checker1",   "checker2",   "checker3",    "checker4",          "checker5",     "checker6",
        "checker7",   "checker8",   "concentric2", "concentric_finder", "finder_grid1", "finder_grid3",
        "noise",      "gradient",   "all_dark",    "all_light"};
    return names[static_cast<int>(kind)];
}

inline std::vector<Kind> AllKinds() {
    std::vector<Kind> kinds;
    for (int k = 0; k < static_cast<int>(Kind::kCount); ++k) kinds.push_back(static_cast<Kind>(k));
    return kinds;
}

namespace detail {

// Dark at position p of the rhythm dark, light, dark x3, light, dark, light
// (eight modules of `module` pixels, repeating).
inline bool Rhythm(int p, int module) {
    static const bool dark[8] = {true, false, true, true, true, false, true, false};
    return dark[(p / module) % 8];
}

// Dark at (x, y) of a bare finder pattern (7 x 7 modules) with modules of
// `module` pixels repeated every `pitch` modules; false in the gaps.
inline bool FinderTile(int x, int y, int module, int pitch) {
    const int mx = (x / module) % pitch, my = (y / module) % pitch;
    if (mx >= 7 || my >= 7) return false;
    return std::max(std::abs(mx - 3), std::abs(my - 3)) != 2;
}

}  // namespace detail

// The picture of `kind`, `side` x `side` pixels.
inline Picture Make(Kind kind, int side) {
    Picture p{side, side, std::vector<uint8_t>(static_cast<size_t>(side) * side, 255)};
    std::mt19937 random(12345);
    const int centre = side / 2;
    for (int y = 0; y < side; ++y) {
        uint8_t* row = p.pixels.data() + static_cast<size_t>(y) * side;
        for (int x = 0; x < side; ++x) {
            bool dark = false;
            switch (kind) {
                case Kind::kStripesVertical1:
                    dark = detail::Rhythm(x, 1);
                    break;
                case Kind::kStripesVertical4:
                    dark = detail::Rhythm(x, 4);
                    break;
                case Kind::kStripesHorizontal1:
                    dark = detail::Rhythm(y, 1);
                    break;
                case Kind::kStripesHorizontal4:
                    dark = detail::Rhythm(y, 4);
                    break;
                case Kind::kStripesDiagonal1:
                    dark = detail::Rhythm(x + y, 1);
                    break;
                case Kind::kStripesDiagonal4:
                    dark = detail::Rhythm(x + y, 4);
                    break;
                case Kind::kChecker1:
                case Kind::kChecker2:
                case Kind::kChecker3:
                case Kind::kChecker4:
                case Kind::kChecker5:
                case Kind::kChecker6:
                case Kind::kChecker7:
                case Kind::kChecker8: {
                    const int cell = static_cast<int>(kind) - static_cast<int>(Kind::kChecker1) + 1;
                    dark = ((x / cell) + (y / cell)) % 2 == 0;
                    break;
                }
                case Kind::kConcentric2:
                    dark = (std::max(std::abs(x - centre), std::abs(y - centre)) / 2) % 2 == 0;
                    break;
                case Kind::kConcentricFinder: {
                    // Centre stone 3 modules (of 2 px) wide, then alternating
                    // one-module rings.
                    const int ring = std::max(std::abs(x - centre), std::abs(y - centre)) / 2;
                    dark = ring <= 1 || ring % 2 == 0;
                    break;
                }
                case Kind::kFinderGrid1:
                    dark = detail::FinderTile(x, y, 1, 8);
                    break;
                case Kind::kFinderGrid3:
                    dark = detail::FinderTile(x, y, 3, 9);
                    break;
                case Kind::kNoise:
                    row[x] = static_cast<uint8_t>(random());
                    continue;
                case Kind::kGradient:
                    row[x] = static_cast<uint8_t>((x + y) * 255 / (2 * side - 2));
                    continue;
                case Kind::kAllDark:
                    dark = true;
                    break;
                case Kind::kAllLight:
                case Kind::kCount:
                    break;
            }
            row[x] = dark ? 0 : 255;
        }
    }
    return p;
}

// Picture sides of about 1, 4 and 16 megapixels.
inline constexpr int kSides[] = {1000, 2000, 4000};

}  // namespace crafted
