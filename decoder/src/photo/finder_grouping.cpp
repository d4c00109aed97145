#include "photo/finder_grouping.h"

#include <algorithm>
#include <cmath>
#include <tuple>

namespace lectavo::photo {
namespace {

// Under strong perspective the near finder looks up to this much larger.
constexpr float kMaxModuleRatio = 2.3f;

float Distance(const Point& a, const Point& b) { return std::hypot(a.x - b.x, a.y - b.y); }

// Scores the triple with `corner` at the right angle; false if it cannot be a symbol.
bool ScoreTriple(const std::vector<FinderCandidate>& c, int corner, int a, int b, FinderTriple& out) {
    const Point& p = c[corner].centre;
    const float ux = c[a].centre.x - p.x, uy = c[a].centre.y - p.y;
    const float vx = c[b].centre.x - p.x, vy = c[b].centre.y - p.y;
    const float lu = std::hypot(ux, uy), lv = std::hypot(vx, vy);
    if (lu <= 0 || lv <= 0) return false;
    const float legRatio = std::max(lu, lv) / std::min(lu, lv);
    if (legRatio > 2.5f) return false;
    const float cosine = (ux * vx + uy * vy) / (lu * lv);
    if (std::abs(cosine) > 0.8f) return false;  // 37 to 143 degrees: strong perspective
    // Each leg spans side - 7 modules: between 14 (version 1) and 170 (version 40).
    const float moduleU = (c[corner].moduleSize + c[a].moduleSize) / 2;
    const float moduleV = (c[corner].moduleSize + c[b].moduleSize) / 2;
    const float spanU = lu / moduleU, spanV = lv / moduleV;
    if (spanU < 10 || spanV < 10 || spanU > 200 || spanV > 200) return false;
    const float spanRatio = std::max(spanU, spanV) / std::min(spanU, spanV);
    if (spanRatio > 1.8f) return false;
    out.topLeft = corner;
    const bool clockwise = ux * vy - uy * vx > 0;
    out.topRight = clockwise ? a : b;
    out.bottomLeft = clockwise ? b : a;
    out.score = std::abs(cosine) + (legRatio - 1) + (spanRatio - 1) * 2;
    return true;
}

}  // namespace

std::vector<FinderTriple> GroupFinders(const std::vector<FinderCandidate>& candidates) {
    std::vector<FinderTriple> triples;
    const int n = std::min(static_cast<int>(candidates.size()), kMaxGroupedCandidates);
    for (int i = 0; i < n; ++i)
        for (int j = i + 1; j < n; ++j) {
            const float mi = candidates[i].moduleSize, mj = candidates[j].moduleSize;
            if (std::max(mi, mj) > kMaxModuleRatio * std::min(mi, mj)) continue;
            const float dij = Distance(candidates[i].centre, candidates[j].centre);
            if (dij > 260 * std::max(mi, mj)) continue;
            for (int k = j + 1; k < n; ++k) {
                const float mk = candidates[k].moduleSize;
                if (std::max({mi, mj, mk}) > kMaxModuleRatio * std::min({mi, mj, mk})) continue;
                const float dik = Distance(candidates[i].centre, candidates[k].centre);
                const float djk = Distance(candidates[j].centre, candidates[k].centre);
                // The corner is opposite the longest side.
                int corner = k, a = i, b = j;
                if (dik >= dij && dik >= djk) corner = j, a = i, b = k;
                if (djk >= dij && djk >= dik) corner = i, a = j, b = k;
                FinderTriple t;
                if (ScoreTriple(candidates, corner, a, b, t)) triples.push_back(t);
            }
        }
    std::sort(triples.begin(), triples.end(), [](const FinderTriple& x, const FinderTriple& y) {
        if (x.score != y.score) return x.score < y.score;
        return std::tie(x.topLeft, x.topRight, x.bottomLeft) < std::tie(y.topLeft, y.topRight, y.bottomLeft);
    });
    if (triples.size() > static_cast<size_t>(kMaxTriples)) triples.resize(kMaxTriples);
    return triples;
}

}  // namespace lectavo::photo
