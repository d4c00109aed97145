#include "photo/alignment_search.h"

#include <algorithm>
#include <cmath>

#include "photo/grid_sampler.h"

namespace lectavo::photo {
namespace {

constexpr int kMinScore = 22;  // of 25 modules

int PatternScore(const BinaryPlane& plane, float x, float y, Point ex, Point ey) {
    int score = 0;
    for (int i = -2; i <= 2; ++i)
        for (int j = -2; j <= 2; ++j) {
            const bool dark = std::max(std::abs(i), std::abs(j)) != 1;
            const Point p{x + j * ex.x + i * ey.x, y + j * ex.y + i * ey.y};
            score += SampleAt(plane, p) == (dark ? 1 : 0);
        }
    return score;
}

}  // namespace

bool FindAlignment(const BinaryPlane& plane, Point predicted, Point ex, Point ey, float radiusModules, Point& found) {
    const float module = std::sqrt(std::abs(ex.x * ey.y - ex.y * ey.x));
    if (!(module >= 1.0f) || !(module < 1000.0f)) return false;
    if (!(predicted.x > -module * 10 && predicted.y > -module * 10 && predicted.x < plane.width + module * 10 &&
          predicted.y < plane.height + module * 10))
        return false;
    const float reach = radiusModules * module;
    const float step = std::max(1.0f, module / 3);
    const int steps = static_cast<int>(reach / step);
    int best = -1;
    float sumX = 0, sumY = 0, n = 0;
    for (int sy = -steps; sy <= steps; ++sy)
        for (int sx = -steps; sx <= steps; ++sx) {
            const float x = predicted.x + sx * step, y = predicted.y + sy * step;
            const int score = PatternScore(plane, x, y, ex, ey);
            // Among equal scores the centre of the plateau, so prefer none by scan order.
            if (score > best) best = score, sumX = sumY = n = 0;
            if (score == best) sumX += x, sumY += y, ++n;
        }
    if (best < kMinScore || n == 0) return false;
    found = {sumX / n, sumY / n};
    return true;
}

}  // namespace lectavo::photo
