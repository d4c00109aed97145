#include "photo/alignment_search.h"

#include <algorithm>
#include <cmath>

#include "photo/grid_sampler.h"

namespace lectavo::photo {
namespace {

constexpr int kMinScore = 22;  // of 25 modules

// Matching modules of the 5 x 5 pattern centred at (x, y); gives up once
// more than `maxMisses` modules differ, returning a count below
// 25 - maxMisses. Each row of five is read without a branch per module (on
// texture a module matches by chance, and a branch on it would go wrong half
// the time); giving up is checked after each row. `kInside`: the caller
// knows every point lies on the plane, so none is tested.
template <bool kInside>
int PatternScore(const BinaryPicture& plane, float x, float y, PointF ex, PointF ey, int maxMisses) {
    int misses = 0;
    for (int i = -2; i <= 2; ++i) {
        for (int j = -2; j <= 2; ++j) {
            const bool dark = std::max(std::abs(i), std::abs(j)) != 1;
            const PointF p{x + j * ex.x + i * ey.x, y + j * ex.y + i * ey.y};
            const uint8_t bit = kInside ? plane.bits[static_cast<size_t>(p.y) * plane.width + static_cast<size_t>(p.x)]
                                        : SampleAt(plane, p);
            misses += bit != (dark ? 1 : 0);
        }
        if (misses > maxMisses) return 25 - misses;
    }
    return 25 - misses;
}

// Centre of the dark run through (x, y) along one pixel axis, when that run
// is about as long as the centre stone (a blurred stone merged with its ring
// is left alone).
bool StoneCentre(const BinaryPicture& plane, float& x, float& y, bool horizontal, float module) {
    const int px = static_cast<int>(x), py = static_cast<int>(y);
    if (!plane.At(px, py)) return false;
    const int limit = static_cast<int>(module * 2) + 1;
    int lo = 0, hi = 0;
    auto dark = [&](int k) { return horizontal ? plane.At(px + k, py) : plane.At(px, py + k); };
    while (lo < limit && dark(-(lo + 1))) ++lo;
    while (hi < limit && dark(hi + 1)) ++hi;
    if (lo == limit || hi == limit) return false;
    (horizontal ? x : y) = (horizontal ? px : py) + (hi - lo) / 2.0f + 0.5f;
    return true;
}

}  // namespace

bool FindAlignment(const BinaryPicture& plane, PointF predicted, PointF ex, PointF ey, float radiusModules,
                   PointF& found, int* score, float searchedModules) {
    const float module = std::sqrt(std::abs(ex.x * ey.y - ex.y * ey.x));
    if (!(module >= 1.0f) || !(module < 1000.0f)) return false;
    if (!(predicted.x > -module * 10 && predicted.y > -module * 10 && predicted.x < plane.width + module * 10 &&
          predicted.y < plane.height + module * 10))
        return false;
    const float reach = radiusModules * module;
    // Half-module steps always land some positions inside the centre stone;
    // the plateau's centre and the stone refinement below give the precision.
    const float step = std::max(1.0f, module / 2);
    const int steps = static_cast<int>(reach / step);
    // The earlier search's square, worked out as it was: every position in
    // it scored below kMinScore, so none can be best or share the plateau.
    const float searchedReach = searchedModules * module;
    const int searched = searchedModules > 0 ? static_cast<int>(searchedReach / step) : -1;
    // Every point read lies within this distance of `predicted` (a pixel
    // more than the sums, for their rounding): where that box is on the
    // plane, no point needs SampleAt's test.
    const float spreadX = steps * step + 2 * (std::abs(ex.x) + std::abs(ey.x)) + 1,
                spreadY = steps * step + 2 * (std::abs(ex.y) + std::abs(ey.y)) + 1;
    const bool inside = predicted.x - spreadX >= 0 && predicted.y - spreadY >= 0 &&
                        predicted.x + spreadX < plane.width && predicted.y + spreadY < plane.height;
    int best = -1;
    float sumX = 0, sumY = 0, n = 0;
    for (int sy = -steps; sy <= steps; ++sy)
        for (int sx = -steps; sx <= steps; ++sx) {
            if (std::abs(sy) <= searched && std::abs(sx) <= searched) {
                sx = searched;  // on to the first position right of the square
                continue;
            }
            const float x = predicted.x + sx * step, y = predicted.y + sy * step;
            const int maxMisses = 25 - std::max(best, kMinScore);
            const int score = inside ? PatternScore<true>(plane, x, y, ex, ey, maxMisses)
                                     : PatternScore<false>(plane, x, y, ex, ey, maxMisses);
            // Among equal scores the centre of the plateau, so prefer none by scan order.
            if (score > best) best = score, sumX = sumY = n = 0;
            if (score == best) sumX += x, sumY += y, ++n;
        }
    if (best < kMinScore || n == 0) return false;
    found = {sumX / n, sumY / n};
    if (score) *score = best;
    for (int pass = 0; pass < 2; ++pass) {
        PointF refined = found;
        if (!StoneCentre(plane, refined.x, refined.y, true, module) ||
            !StoneCentre(plane, refined.x, refined.y, false, module))
            break;
        if (std::hypot(refined.x - found.x, refined.y - found.y) > module) break;
        found = refined;
    }
    return true;
}

}  // namespace lectavo::photo
