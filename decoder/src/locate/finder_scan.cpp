#include "locate/finder_scan.h"

#include <cmath>
#include <cstring>
#include <new>
#include <vector>

#include "core/geometry.h"

namespace lectavo {

namespace {

constexpr int kRefineRounds = 8;

// Finder proportions of the five runs between the edges: each at least one
// pixel, the outer four 0.4 to 1.5 units and the centre 2.5 to 3.5 units,
// a unit being a seventh of the whole pattern. Every condition is evaluated
// (no early exits): on noisy planes those exits were mispredicted branches.
bool FinderProportions(const RunEdges& r) {
    const float u = static_cast<float>(r.e[5] - r.e[0]) * 0.14285715f;
    if (u == 0.0f) return false;
    bool ok = true;
    for (int k = 0; k < 5; ++k) {
        const int run = r.e[k + 1] - r.e[k];
        const float f = static_cast<float>(run);
        const float low = k == 2 ? 2.499f : 0.399f, high = k == 2 ? 3.5f : 1.5f;
        ok &= (run > 0) & !(f < low * u) & !(f > high * u);
    }
    return ok;
}

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

    return FinderProportions(r);
}

// The cross-checks of one scan along rows or columns, remembered per line.
// The check through a pixel walks its line outwards from the dark run
// holding it; the walks from any pixel of that run stop at the same pixels,
// so they give the same edges and result. Each line keeps its last run and
// answer: on pictures whose lines hold long dark runs (stripes), the scan
// rows (or the refinements) crossing one run ask again and again, and a walk
// per question would make the scan's work grow with the cube of the side.
template <bool kVertical>
class LineChecks {
public:
    explicit LineChecks(const BinaryPlane& plane)
        : plane_(plane), lines_(static_cast<size_t>(kVertical ? plane.width : plane.height)) {}

    // CrossCheckVertical(plane, x, y, edges) or CrossCheckHorizontal(plane,
    // x, y, edges), edges set only when true.
    bool Check(int x, int y, RunEdges& edges) {
        // The line and the position along it, as the plain checks bound them.
        const int line = kVertical ? x : y, at = kVertical ? y : x;
        if (kVertical ? (x < 0 || x >= plane_.width - 1)
                      : (y < 0 || y >= plane_.height - 1 || x < 0 || x >= plane_.width))
            return false;
        const int length = kVertical ? plane_.height : plane_.width;
        const uint8_t* first = kVertical ? plane_.pixels + x : plane_.Row(y);
        const size_t stride = kVertical ? static_cast<size_t>(plane_.width) : 1;
        auto dark = [=](int i) { return first[static_cast<size_t>(i) * stride] != 0; };
        Line& l = lines_[static_cast<size_t>(line)];
        if (at >= l.low && at <= l.high) {
            if (l.ok) edges = l.edges;
            return l.ok;
        }
        const int last = length - 1;
        // Only a dark pixel at positions 1 .. last - 1 can pass; its run
        // within those positions is what the walks depend on.
        if (at < 1 || at >= last || !dark(at)) return CrossCheck(at, length, dark, edges);
        int low = at, high = at;
        while (low > 1 && dark(low - 1)) --low;
        while (high < last - 1 && dark(high + 1)) ++high;
        RunEdges r;
        l.ok = CrossCheck(at, length, dark, r);
        l.low = low;
        l.high = high;
        l.edges = r;
        if (l.ok) edges = r;
        return l.ok;
    }

private:
    struct Line {
        int low = 0, high = -1;  // the remembered run: positions low .. high
        bool ok = false;
        RunEdges edges;
    };
    const BinaryPlane& plane_;
    std::vector<Line> lines_;
};

bool NearStored(const std::vector<FinderPattern>& finders, float cx, float cy) {
    for (const FinderPattern& f : finders)
        if (std::fabs(f.x - cx) < 1.0f && std::fabs(f.y - cy) < 1.0f) return true;
    return false;
}

// Locates the pattern whose horizontal cross-check along row y gave `r`;
// false when the vertical cross-check or the refinement fails.
bool LocateFrom(LineChecks<false>& horizontal, LineChecks<true>& vertical, RunEdges& r, int y, float& cx, float& cy) {
    cx = r.Centre();
    if (!vertical.Check(RoundCoord(cx), y, r)) return false;
    cy = r.Centre();
    for (int round = 0; round < kRefineRounds; ++round) {
        if (!horizontal.Check(RoundCoord(cx), RoundCoord(cy), r)) return false;
        const float nx = r.Centre();
        if (!vertical.Check(RoundCoord(nx), RoundCoord(cy), r)) return false;
        const float ny = r.Centre();
        const bool converged = nx == cx && ny == cy;
        cx = nx;
        cy = ny;
        if (converged) break;
    }
    return true;
}

// The horizontal cross-check through dark run k of a row of `width` pixels
// whose run starts are `starts`.
inline bool CheckDarkRun(const int* starts, int k, int width, RunEdges& edges) {
    // The pixel walk stops before positions 0 and width - 1: a centre or
    // light run reaching them fails, an outer dark run reaching them ends at
    // the plane border. Each bound also keeps the run indices in the table.
    const int last = width - 1;
    if (starts[k] <= 1 || starts[k - 1] <= 1 || starts[k + 1] >= last || starts[k + 2] >= last) return false;
    const int outerStart = starts[k - 2], outerEnd = starts[k + 3];
    edges.e[0] = outerStart <= 1 ? 0 : outerStart;
    edges.e[1] = starts[k - 1];
    edges.e[2] = starts[k];
    edges.e[3] = starts[k + 1];
    edges.e[4] = starts[k + 2];
    edges.e[5] = outerEnd >= last ? width : outerEnd;
    // The proportions want the centre run at least 2.499 / 7 of the whole
    // pattern, so a centre under a third of it can never pass: most dark runs
    // end here, without the float arithmetic.
    if (3 * (edges.e[3] - edges.e[2]) < edges.e[5] - edges.e[0]) return false;
    return FinderProportions(edges);
}

// x / d for 0 <= x < 2^20 and 1 <= d < 2^11 by a multiplication: the
// rounded-up reciprocal errs by less than x / 2^32 < 2^-12, less than the
// 1 / d by which a quotient's fraction stays below the next integer.
class Quotient {
public:
    explicit Quotient(int d) : reciprocal_((uint64_t{1} << 32) / static_cast<uint64_t>(d) + 1) {}
    int Of(int x) const { return static_cast<int>((static_cast<uint64_t>(x) * reciprocal_) >> 32); }

private:
    uint64_t reciprocal_;
};

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
    // The walk stays inside 0 .. height - 1, so the column can be read directly.
    const uint8_t* column = plane.pixels + x;
    const size_t stride = static_cast<size_t>(plane.width);
    return CrossCheck(
        y, plane.height, [column, stride](int i) { return column[static_cast<size_t>(i) * stride] != 0; }, edges);
}

bool CrossCheckRun(const RowRuns& runs, int k, RunEdges& edges) {
    return runs.Dark(k) && CheckDarkRun(runs.Starts(), k, runs.Width(), edges);
}

int FinderScan(const BinaryPlane& plane, int minModuleSize, int stepDivisor, std::vector<FinderPattern>& finders) {
    int m = stepDivisor > 0 ? minModuleSize / stepDivisor : minModuleSize;
    if (m < 1) m = 1;
    const int step = 2 * m;
    const int width = plane.width;
    const int sampleEnd = width - step;  // sampled columns: step, 2 * step, ... below this
    if (sampleEnd <= step || plane.height - step <= step) return static_cast<int>(finders.size());
    const Quotient byStep(step);
    // Every sampled pixel of one dark run gives the same cross-checks, hence
    // the same pattern (or the same failure): each dark run holding a sampled
    // pixel is examined once, from the row's run table.
    RowRuns runs(width);
    LineChecks<false> horizontal(plane);
    LineChecks<true> vertical(plane);
    // The last two scanned rows none of whose dark runs passed the
    // horizontal check. A row equal to one of them has the same runs, so none
    // of its runs passes either; below the cap on finders it changes nothing
    // and is skipped (checkerboards repeat every row or two the scan visits).
    const uint8_t* barren[2] = {nullptr, nullptr};
    const size_t rowBytes = static_cast<size_t>(width);
    for (int y = step; y < plane.height - step; y += step) {
        const uint8_t* row = plane.Row(y);
        if (static_cast<int>(finders.size()) < kMaxFinders &&
            ((barren[0] && std::memcmp(row, barren[0], rowBytes) == 0) ||
             (barren[1] && std::memcmp(row, barren[1], rowBytes) == 0)))
            continue;
        runs.Read(row);
        const int* starts = runs.Starts();
        const int count = runs.Count();
        bool passed = false;
        for (int k = runs.Dark(0) ? 0 : 1; k < count; k += 2) {
            const int start = starts[k];
            const int sampled = start <= step ? step : byStep.Of(start + step - 1) * step;
            if (sampled >= sampleEnd) break;
            if (sampled >= starts[k + 1]) continue;
            if (static_cast<int>(finders.size()) >= kMaxFinders) return kMaxFinders;
            RunEdges r;
            float cx = 0.0f, cy = 0.0f;
            if (!CheckDarkRun(starts, k, width, r)) continue;
            passed = true;
            if (!LocateFrom(horizontal, vertical, r, y, cx, cy) || NearStored(finders, cx, cy)) continue;
            FinderPattern f;
            f.x = cx;
            f.y = cy;
            finders.push_back(f);
        }
        if (!passed) {
            barren[1] = barren[0];
            barren[0] = row;
        }
    }
    return static_cast<int>(finders.size());
}

}  // namespace lectavo
