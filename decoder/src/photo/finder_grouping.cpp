#include "photo/finder_grouping.h"

#include <algorithm>
#include <cmath>
#include <tuple>

#include "photo/hypot.h"

namespace lectavo::photo {
namespace {

// Under strong perspective the near finder looks up to this much larger.
constexpr float kMaxModuleRatio = 2.3f;
// Legs (in pixels) at most this many times as long as each other: a symbol
// seen at a slant (finders up to 3 times taller than wide).
constexpr float kMaxLegRatio = 3.2f;
// Added to the score of a triple with another candidate between its finders:
// more than any clear triple scores.
constexpr float kBlockedPenalty = 100;
// A leg at least this share of the far side leaves the corner in doubt.
constexpr float kAmbiguousSide = 0.7f;
// Added to the score of a triple with its corner at the second choice: more
// than any clear triple scores, less than kBlockedPenalty.
constexpr float kSecondCornerPenalty = 10;

float Distance(const PointF& a, const PointF& b) { return Hypot(a.x - b.x, a.y - b.y); }

// Scores the triple with `corner` at the right angle, its legs to `a` and
// `b` `lu` and `lv` pixels long and `moduleU` and `moduleV` pixels a module
// along them (PairModule); false if it cannot be a symbol.
bool ScoreTriple(const std::vector<FinderCandidate>& c, int corner, int a, int b, float lu, float lv, float moduleU,
                 float moduleV, FinderTriple& out) {
    const PointF& p = c[corner].centre;
    const float ux = c[a].centre.x - p.x, uy = c[a].centre.y - p.y;
    const float vx = c[b].centre.x - p.x, vy = c[b].centre.y - p.y;
    if (lu <= 0 || lv <= 0) return false;
    const float legRatio = std::max(lu, lv) / std::min(lu, lv);
    // A symbol seen at a slant (finders up to 3 times taller than wide) has
    // legs that far apart in pixels; in modules they are compared below.
    if (legRatio > kMaxLegRatio) return false;
    const float cosine = (ux * vx + uy * vy) / (lu * lv);
    if (std::abs(cosine) > 0.8f) return false;  // 37 to 143 degrees: strong perspective
    // Each leg spans side - 7 modules: between 14 (version 1) and 170 (version
    // 40). The modules are measured along each leg, as under a slant the legs
    // differ in pixels, not in modules; runs along rows and columns measure a
    // turned finder up to 1.41 times too wide, so a leg of 14 can count 9.9.
    const float spanU = lu / moduleU, spanV = lv / moduleV;
    if (spanU < 9 || spanV < 9 || spanU > 200 || spanV > 200) return false;
    const float spanRatio = std::max(spanU, spanV) / std::min(spanU, spanV);
    if (spanRatio > 1.8f) return false;
    out.topLeft = corner;
    const bool clockwise = ux * vy - uy * vx > 0;
    out.topRight = clockwise ? a : b;
    out.bottomLeft = clockwise ? b : a;
    out.score = std::abs(cosine) + (legRatio - 1) + (spanRatio - 1) * 2;
    return true;
}

// The module size along the leg between candidates i and j, `length` pixels
// apart: the mean of both finders' modules measured along it. The same
// whichever end is the triple's corner (ModuleToward and the sum do not
// depend on the leg's sense or the order of the terms).
float PairModule(const std::vector<FinderCandidate>& c, int i, int j, float length) {
    const float dx = c[j].centre.x - c[i].centre.x, dy = c[j].centre.y - c[i].centre.y;
    return (ModuleToward(c[i], dx, dy, length) + ModuleToward(c[j], dx, dy, length)) / 2;
}

// Whether another candidate lies near the segment between candidates i and
// j, away from its ends: within a fifth of the segment's length of the line,
// on its middle 70 %. Two finders of one symbol see only the symbol's own
// modules between them (a neighbouring symbol's finders lie at least a quiet
// zone and half a finder further out), while two finders of different
// symbols on a sheet of many usually have a third symbol's finder between.
bool Blocked(const std::vector<FinderCandidate>& c, int n, int i, int j) {
    const PointF& a = c[i].centre;
    const float dx = c[j].centre.x - a.x, dy = c[j].centre.y - a.y;
    const float squared = dx * dx + dy * dy;
    if (squared <= 0) return false;
    for (int k = 0; k < n; ++k) {
        if (k == i || k == j) continue;
        const float wx = c[k].centre.x - a.x, wy = c[k].centre.y - a.y;
        const float along = wx * dx + wy * dy, across = wx * dy - wy * dx;
        // along / squared in (0.15, 0.85) and |across| / squared < 0.2
        if (along > 0.15f * squared && along < 0.85f * squared && std::abs(across) < 0.2f * squared) return true;
    }
    return false;
}

// Calls found(triple, i, j, k) for every triple of the first n candidates
// that ScoreTriple accepts (i < j < k its candidates), in index order, until
// found returns false.
template <class Found>
void EachTriple(const std::vector<FinderCandidate>& candidates, int n, Found found) {
    // Every pair's distance and module along it once, not once per third
    // candidate.
    std::vector<float> distance(static_cast<size_t>(n) * n), module(static_cast<size_t>(n) * n);
    for (int i = 0; i < n; ++i)
        for (int j = i + 1; j < n; ++j) {
            const size_t ij = static_cast<size_t>(i) * n + j;
            distance[ij] = Distance(candidates[i].centre, candidates[j].centre);
            module[ij] = PairModule(candidates, i, j, distance[ij]);
        }
    for (int i = 0; i < n; ++i)
        for (int j = i + 1; j < n; ++j) {
            const float mi = candidates[i].moduleSize, mj = candidates[j].moduleSize;
            if (std::max(mi, mj) > kMaxModuleRatio * std::min(mi, mj)) continue;
            const float dij = distance[static_cast<size_t>(i) * n + j];
            if (dij > 260 * std::max(mi, mj)) continue;
            for (int k = j + 1; k < n; ++k) {
                const float mk = candidates[k].moduleSize;
                if (std::max({mi, mj, mk}) > kMaxModuleRatio * std::min({mi, mj, mk})) continue;
                const float dik = distance[static_cast<size_t>(i) * n + k];
                const float djk = distance[static_cast<size_t>(j) * n + k];
                // ScoreTriple takes legs at most kMaxLegRatio apart, and the
                // third side is at most their sum, so no side of a triple it
                // takes is more than 1 + kMaxLegRatio times another: others
                // are passed over unscored (with room for rounding).
                constexpr float kMaxSideRatio = 1 + kMaxLegRatio + 0.3f;
                if (dik > kMaxSideRatio * dij || dij > kMaxSideRatio * dik || djk > kMaxSideRatio * dij ||
                    dij > kMaxSideRatio * djk)
                    continue;
                const float mij = module[static_cast<size_t>(i) * n + j];
                const float mik = module[static_cast<size_t>(i) * n + k];
                const float mjk = module[static_cast<size_t>(j) * n + k];
                // The corner is opposite the longest side.
                int corner = k, a = i, b = j;
                float lu = dik, lv = djk, moduleU = mik, moduleV = mjk, far = dij;
                if (dik >= dij && dik >= djk)
                    corner = j, a = i, b = k, lu = dij, lv = djk, moduleU = mij, moduleV = mjk, far = dik;
                if (djk >= dij && djk >= dik)
                    corner = i, a = j, b = k, lu = dij, lv = dik, moduleU = mij, moduleV = mik, far = djk;
                // ScoreTriple passes over a triple nearly flat at the corner
                // (cosine below -0.8): so does this where the law of cosines
                // on the three distances puts the cosine below -0.82, a
                // margin far beyond the rounding of the distances and of
                // ScoreTriple's sums for legs up to kMaxLegRatio apart (it
                // passes over legs further apart anyway).
                const double u = lu, v = lv, w = far;
                if (u * u + v * v - w * w < -1.64 * u * v) continue;
                FinderTriple t;
                if (ScoreTriple(candidates, corner, a, b, lu, lv, moduleU, moduleV, t) && !found(t, i, j, k)) return;
                // Seen at a strong slant, a leg can look longer than the
                // diagonal. With a leg nearly as long as the far side, the
                // corner opposite that leg (the far end of the shorter one)
                // is scored too, after every clear triple.
                const bool uLonger = lu >= lv;
                if ((uLonger ? lu : lv) < kAmbiguousSide * far) continue;
                const int across = uLonger ? b : a;  // the corner's neighbour opposite the longer leg
                const int x = uLonger ? a : b;       // the other end of the longer leg
                const auto pair = [&](int p, int q) {
                    return static_cast<size_t>(std::min(p, q)) * n + std::max(p, q);
                };
                if (ScoreTriple(candidates, across, corner, x, distance[pair(across, corner)], far,
                                module[pair(across, corner)], module[pair(across, x)], t)) {
                    t.score += kSecondCornerPenalty;
                    if (!found(t, i, j, k)) return;
                }
            }
        }
}

}  // namespace

std::vector<FinderTriple> GroupFinders(const std::vector<FinderCandidate>& candidates) {
    std::vector<FinderTriple> triples;
    const int n = std::min(static_cast<int>(candidates.size()), kMaxGroupedCandidates);
    // Pairs with another candidate between them, worked out once per pair
    // that can be part of a triple (0 unknown, 1 clear, 2 blocked).
    std::vector<uint8_t> between(static_cast<size_t>(n) * n, 0);
    const auto blocked = [&](int i, int j) {
        uint8_t& b = between[static_cast<size_t>(std::min(i, j)) * n + std::max(i, j)];
        if (b == 0) b = Blocked(candidates, n, i, j) ? 2 : 1;
        return b == 2;
    };
    const auto order = [](const FinderTriple& x, const FinderTriple& y) {
        if (x.score != y.score) return x.score < y.score;
        return std::tie(x.topLeft, x.topRight, x.bottomLeft) < std::tie(y.topLeft, y.topRight, y.bottomLeft);
    };
    // The order is total, so keeping the best kMaxTriples whenever the list
    // grows long gives the same result with memory bounded by a constant.
    const auto keepBest = [&] {
        std::nth_element(triples.begin(), triples.begin() + kMaxTriples, triples.end(), order);
        triples.resize(kMaxTriples);
    };
    EachTriple(candidates, n, [&](FinderTriple t, int i, int j, int k) {
        // Triples with a candidate between two of their finders go after
        // every clear one.
        if (blocked(i, j) || blocked(i, k) || blocked(j, k)) t.score += kBlockedPenalty;
        triples.push_back(t);
        if (triples.size() >= 4 * static_cast<size_t>(kMaxTriples)) keepBest();
        return true;
    });
    if (triples.size() > static_cast<size_t>(kMaxTriples)) keepBest();
    std::sort(triples.begin(), triples.end(), order);
    return triples;
}

bool AnyTriple(const std::vector<FinderCandidate>& candidates) {
    bool any = false;
    EachTriple(candidates, std::min(static_cast<int>(candidates.size()), kMaxGroupedCandidates),
               [&](const FinderTriple&, int, int, int) {
                   any = true;
                   return false;  // the first is enough
               });
    return any;
}

}  // namespace lectavo::photo
