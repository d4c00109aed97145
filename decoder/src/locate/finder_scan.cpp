#include "locate/finder_scan.h"

#include <cmath>
#include <new>

#include "locate/geometry.h"

namespace lectavo {

namespace {

constexpr int kRefineRounds = 8;

// Walks one line of `length` pixels outwards from `at` in both directions.
// Position 0 and position length - 1 are never examined: reaching them ends
// the outer dark runs at the plane border and fails the inner runs.
template <typename Dark>
bool CrossCheck(int at, int length, Dark dark, RunEdges& r) {
    if (at < 0 || at >= length - 1 || !dark(at)) return false;

    int i = at - 1;
    while (i > 0 && dark(i)) --i;
    if (i <= 0) return false;
    r.e[2] = i + 1;
    while (i > 0 && !dark(i)) --i;
    if (i <= 0) return false;
    r.e[1] = i + 1;
    while (i > 0 && dark(i)) --i;
    r.e[0] = i <= 0 ? 0 : i + 1;

    const int last = length - 1;
    i = at + 1;
    while (i < last && dark(i)) ++i;
    if (i >= last) return false;
    r.e[3] = i;
    while (i < last && !dark(i)) ++i;
    if (i >= last) return false;
    r.e[4] = i;
    while (i < last && dark(i)) ++i;
    r.e[5] = i >= last ? length : i;

    const float u = static_cast<float>(r.e[5] - r.e[0]) * 0.14285715f;
    if (u == 0.0f) return false;
    for (int k = 0; k < 5; ++k) {
        const int run = r.e[k + 1] - r.e[k];
        if (run <= 0) return false;
        const float f = static_cast<float>(run);
        if (k == 2) {
            if (f < 2.499f * u || f > 3.5f * u) return false;
        } else if (f < 0.399f * u || f > 1.5f * u) {
            return false;
        }
    }
    return true;
}

bool NearStored(const std::vector<FinderPattern>& finders, float cx, float cy) {
    for (const FinderPattern& f : finders)
        if (std::fabs(f.x - cx) < 1.0f && std::fabs(f.y - cy) < 1.0f) return true;
    return false;
}

// Locates the pattern through the dark pixel (x, y); false when the
// cross-checks or their refinement fail.
bool LocateAt(const BinaryPlane& plane, int x, int y, float& cx, float& cy) {
    RunEdges r;
    if (!CrossCheckHorizontal(plane, x, y, r)) return false;
    cx = r.Centre();
    if (!CrossCheckVertical(plane, RoundCoord(cx), y, r)) return false;
    cy = r.Centre();
    for (int round = 0; round < kRefineRounds; ++round) {
        if (!CrossCheckHorizontal(plane, RoundCoord(cx), RoundCoord(cy), r)) return false;
        const float nx = r.Centre();
        if (!CrossCheckVertical(plane, RoundCoord(nx), RoundCoord(cy), r)) return false;
        const float ny = r.Centre();
        const bool converged = nx == cx && ny == cy;
        cx = nx;
        cy = ny;
        if (converged) break;
    }
    return true;
}

}  // namespace

bool CrossCheckHorizontal(const BinaryPlane& plane, int x, int y, RunEdges& edges) {
    if (y < 0 || y >= plane.height - 1 || x < 0 || x >= plane.width) return false;
    // The walk stays inside 0 .. width - 1, so the row can be read directly.
    const uint8_t* row = plane.Row(y);
    return CrossCheck(
        x, plane.width, [row](int i) { return row[i] != 0; }, edges);
}

bool CrossCheckVertical(const BinaryPlane& plane, int x, int y, RunEdges& edges) {
    if (x < 0 || x >= plane.width - 1) return false;
    return CrossCheck(
        y, plane.height, [&](int i) { return plane.Pixel(x, i) != 0; }, edges);
}

int FinderScan(const BinaryPlane& plane, SearchState& state, int stepDivisor) {
    int m = stepDivisor > 0 ? state.minModuleSize / stepDivisor : state.minModuleSize;
    if (m < 1) m = 1;
    const int step = 2 * m;
    std::vector<FinderPattern>& finders = state.finders;
    for (int y = step; y < plane.height - step; y += step) {
        const uint8_t* row = plane.Row(y);
        for (int x = step; x < plane.width - step; x += step) {
            if (static_cast<int>(finders.size()) >= kMaxFinders) return kMaxFinders;
            if (!row[x]) continue;
            // Every sampled pixel of one dark run gives the same cross-checks,
            // hence the same pattern (or the same failure): only the first
            // is examined, and the scan resumes behind the run.
            int runEnd = x + 1;
            while (runEnd < plane.width && row[runEnd]) ++runEnd;
            const int firstX = x;
            while (x + step < runEnd) x += step;
            float cx = 0.0f, cy = 0.0f;
            if (!LocateAt(plane, firstX, y, cx, cy) || NearStored(finders, cx, cy)) continue;
            FinderPattern f;
            f.x = cx;
            f.y = cy;
            finders.push_back(f);
        }
    }
    return static_cast<int>(finders.size());
}

}  // namespace lectavo
