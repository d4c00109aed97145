#include "photo/finder_detector.h"

#include <algorithm>
#include <array>
#include <cmath>

namespace lectavo::photo {
namespace {

using Runs = std::array<int, 5>;

// Scan rows that must confirm a pattern: the centre stone of a pattern with
// modules of one pixel is crossed by three; noise seldom lines up that often.
constexpr int kMinHits = 3;

// 1:1:3:1:1 within a tolerance loose enough for blur, print gain and slight
// curvature. Returns the module size, or 0.
// `tenths` is the allowed deviation of each run in tenths of a module; a
// diagonal crosses the rings at their corners, where print gain and blur
// distort them most, so it gets a wider one. Integer arithmetic: this runs
// for every window of five runs in every row.
float FinderRatio(const Runs& r, int tenths = 6) {
    const int total = r[0] + r[1] + r[2] + r[3] + r[4];
    if (total < 7 || r[0] == 0 || r[1] == 0 || r[2] == 0 || r[3] == 0 || r[4] == 0) return 0;
    // With m = total / 7: |r - m| <= tenths / 10 m, that is
    // 10 |7 r - total| <= tenths total (three times that for the centre).
    const int limit = tenths * total;
    for (int k : {0, 1, 3, 4})
        if (10 * std::abs(7 * r[k] - total) > limit) return 0;
    if (10 * std::abs(7 * r[2] - 3 * total) > 3 * limit) return 0;
    return total / 7.0f;
}

// Runs through (x, y) along the step (dx, dy), centred on the dark run that
// holds (x, y); each outer run is limited to `maxRun` pixels. Returns the
// offset of the centre of the middle run from the start point, in steps.
bool RunsAlong(const BinaryPlane& p, int x, int y, int dx, int dy, int maxRun, Runs& runs, float& centreOffset) {
    if (!p.At(x, y)) return false;
    runs = {};
    int back = 0;
    while (p.Inside(x - (back + 1) * dx, y - (back + 1) * dy) && p.At(x - (back + 1) * dx, y - (back + 1) * dy)) ++back;
    int fwd = 0;
    while (p.Inside(x + (fwd + 1) * dx, y + (fwd + 1) * dy) && p.At(x + (fwd + 1) * dx, y + (fwd + 1) * dy)) ++fwd;
    runs[2] = back + fwd + 1;
    // Outward: light then dark, each bounded.
    auto walk = [&](int sign, int start, int& first, int& second) -> void {
        int k = start + 1;
        while (first <= maxRun && p.Inside(x + sign * k * dx, y + sign * k * dy) &&
               !p.At(x + sign * k * dx, y + sign * k * dy)) {
            ++first;
            ++k;
        }
        while (second <= maxRun && p.Inside(x + sign * k * dx, y + sign * k * dy) &&
               p.At(x + sign * k * dx, y + sign * k * dy)) {
            ++second;
            ++k;
        }
    };
    walk(-1, back, runs[1], runs[0]);
    walk(+1, fwd, runs[3], runs[4]);
    if (runs[1] > maxRun || runs[3] > maxRun || runs[0] > maxRun || runs[4] > maxRun) return false;
    centreOffset = (fwd - back) / 2.0f;
    return true;
}

struct Confirmed {
    Point centre;
    float module;
};

// Confirms a row hit down the column, again along the row through the
// refined centre, and along one diagonal.
bool Confirm(const BinaryPlane& p, float cx, int y, float rowModule, Confirmed& out) {
    const int maxRun = static_cast<int>(rowModule * 3) + 2;
    Runs runs;
    float offset = 0;
    const int x = static_cast<int>(cx);
    if (!RunsAlong(p, x, y, 0, 1, maxRun, runs, offset)) return false;
    const float colModule = FinderRatio(runs);
    if (colModule == 0 || colModule > rowModule * 1.8f || colModule * 1.8f < rowModule) return false;
    const float cy = y + offset;
    if (!RunsAlong(p, x, static_cast<int>(cy), 1, 0, maxRun, runs, offset)) return false;
    const float rowModule2 = FinderRatio(runs);
    if (rowModule2 == 0) return false;
    const float cx2 = x + offset;
    if (!RunsAlong(p, static_cast<int>(cx2), static_cast<int>(cy), 1, 1, maxRun, runs, offset)) return false;
    if (FinderRatio(runs, 8) == 0) return false;
    out.centre = {cx2 + 0.5f, cy + 0.5f};
    out.module = (rowModule2 + colModule) / 2;
    return true;
}

// Candidates indexed by a coarse grid of cells, so merging a hit looks only
// at candidates nearby however many the picture holds.
class CandidateIndex {
public:
    CandidateIndex(int width, int height)
        : columns_(width / kCell + 1), rows_(height / kCell + 1), cells_(static_cast<size_t>(columns_) * rows_) {}

    void Add(std::vector<FinderCandidate>& found, const Confirmed& c) {
        const int reach = std::min(4, static_cast<int>(c.module * 3.2f) / kCell + 1);
        const int cx = CellOf(c.centre.x, columns_), cy = CellOf(c.centre.y, rows_);
        for (int y = std::max(0, cy - reach); y <= std::min(rows_ - 1, cy + reach); ++y)
            for (int x = std::max(0, cx - reach); x <= std::min(columns_ - 1, cx + reach); ++x)
                for (int i : cells_[static_cast<size_t>(y) * columns_ + x]) {
                    FinderCandidate& f = found[i];
                    const float dx = f.centre.x - c.centre.x, dy = f.centre.y - c.centre.y;
                    const float near = std::max(f.moduleSize, c.module) * 2;
                    if (dx * dx + dy * dy <= near * near && c.module < f.moduleSize * 1.6f &&
                        f.moduleSize < c.module * 1.6f) {
                        const float n = static_cast<float>(f.hits);
                        f.centre = {(f.centre.x * n + c.centre.x) / (n + 1), (f.centre.y * n + c.centre.y) / (n + 1)};
                        f.moduleSize = (f.moduleSize * n + c.module) / (n + 1);
                        ++f.hits;
                        return;
                    }
                }
        if (found.size() >= kMaxKept) return;
        cells_[static_cast<size_t>(cy) * columns_ + cx].push_back(static_cast<int>(found.size()));
        found.push_back({c.centre, c.module, 1});
    }

private:
    static constexpr int kCell = 32;
    // Unconfirmed hits kept before the strongest are chosen.
    static constexpr size_t kMaxKept = 16 * kMaxFinderCandidates;
    static int CellOf(float v, int count) { return std::clamp(static_cast<int>(v) / kCell, 0, count - 1); }
    int columns_, rows_;
    std::vector<std::vector<int>> cells_;
};

}  // namespace

std::vector<FinderCandidate> DetectFinders(const BinaryPlane& plane, int* lightRuns) {
    std::vector<FinderCandidate> found;
    if (plane.width < 7 || plane.height < 7 || plane.bits.size() < static_cast<size_t>(plane.width) * plane.height)
        return found;
    // Every row on small pictures; every second on large ones, where a finder
    // whose modules are at least 2 px is still crossed three times.
    const int step = static_cast<size_t>(plane.width) * plane.height > 2'000'000 ? 2 : 1;
    CandidateIndex index(plane.width, plane.height);
    std::vector<int> runStart;
    runStart.reserve(plane.width + 1);
    for (int y = 0; y < plane.height; y += step) {
        const uint8_t* row = plane.bits.data() + static_cast<size_t>(y) * plane.width;
        runStart.clear();
        for (int x = 0; x < plane.width; ++x)
            if (x == 0 || row[x] != row[x - 1]) runStart.push_back(x);
        runStart.push_back(plane.width);
        const int runs = static_cast<int>(runStart.size()) - 1;
        for (int i = 0; i + 5 <= runs; ++i) {
            Runs r;
            for (int k = 0; k < 5; ++k) r[k] = runStart[i + k + 1] - runStart[i + k];
            const float module = FinderRatio(r);
            if (module == 0) continue;
            if (!row[runStart[i]]) {
                if (lightRuns) ++*lightRuns;
                continue;
            }
            const float cx = (runStart[i + 2] + runStart[i + 3]) / 2.0f;
            Confirmed c;
            if (Confirm(plane, cx, y, module, c)) index.Add(found, c);
        }
    }
    found.erase(std::remove_if(found.begin(), found.end(), [](const FinderCandidate& f) { return f.hits < kMinHits; }),
                found.end());
    std::stable_sort(found.begin(), found.end(),
                     [](const FinderCandidate& a, const FinderCandidate& b) { return a.hits > b.hits; });
    if (found.size() > static_cast<size_t>(kMaxFinderCandidates)) found.resize(kMaxFinderCandidates);
    return found;
}

}  // namespace lectavo::photo
