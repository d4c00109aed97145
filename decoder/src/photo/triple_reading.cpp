#include "photo/triple_reading.h"

#include <algorithm>
#include <utility>
#include <vector>
#include <cmath>

#include "common/qr_tables.h"
#include "photo/alignment_search.h"
#include "photo/edge_corner.h"
#include "photo/edge_refinement.h"
#include "decode/grid_format.h"

namespace lectavo::photo {
namespace {

PointF Minus(PointF a, PointF b) { return {a.x - b.x, a.y - b.y}; }
float Length(PointF a) { return std::hypot(a.x, a.y); }

// Distance from `from` along the unit direction (dx, dy) to the outer edge of
// the finder ring (third colour change), or 0.
float ToRingEdge(const BinaryPicture& plane, PointF from, float dx, float dy, float limit) {
    uint8_t previous = 1;
    int changes = 0;
    for (float t = 0; t <= limit; t += 1) {
        const uint8_t bit = SampleAt(plane, {from.x + dx * t, from.y + dy * t});
        if (bit != previous && ++changes == 3) return t - 0.5f;  // the edge lies between the samples
        previous = bit;
    }
    return 0;
}

// Module size of a finder measured along the line to another finder: the
// line runs along the symbol's own axis, so rotation does not inflate it as
// it inflates runs along picture rows.
float ModuleAlong(const BinaryPicture& plane, const FinderCandidate& from, const FinderCandidate& to) {
    const float dx = to.centre.x - from.centre.x, dy = to.centre.y - from.centre.y, d = std::hypot(dx, dy);
    if (d <= 0) return from.moduleSize;
    const float limit = from.moduleSize * 8;
    const float ahead = ToRingEdge(plane, from.centre, dx / d, dy / d, limit);
    const float behind = ToRingEdge(plane, from.centre, -dx / d, -dy / d, limit);
    if (ahead == 0 || behind == 0) return from.moduleSize;
    const float m = (ahead + behind) / 7;
    return m > from.moduleSize * 0.5f && m < from.moduleSize * 1.5f ? m : from.moduleSize;
}

// Picture steps of one module along columns and rows at (u, v).
void LocalAxes(const Homography& h, float u, float v, PointF& at, PointF& ex, PointF& ey) {
    at = h.Map(u, v);
    ex = Minus(h.Map(u + 1, v), at);
    ey = Minus(h.Map(u, v + 1), at);
}

bool FitFourth(const PointF& tl, const PointF& tr, const PointF& bl, int side, PointF src4, PointF dst4,
               Homography& h) {
    const float f = side - 3.5f;
    const PointF src[4] = {{3.5f, 3.5f}, {f, 3.5f}, src4, {3.5f, f}};
    const PointF dst[4] = {tl, tr, dst4, bl};
    return h.Fit(src, dst);
}

// Colour changes along the straight picture segment from a to b.
int ChangesAlong(const BinaryPicture& plane, PointF a, PointF b) {
    const float length = Length(Minus(b, a));
    if (!(length < 1e5f)) return 0;
    const int steps = static_cast<int>(length * 2) + 1;
    uint8_t previous = SampleAt(plane, a);
    int changes = 0;
    for (int i = 1; i <= steps; ++i) {
        const float t = static_cast<float>(i) / steps;
        const uint8_t bit = SampleAt(plane, {a.x + (b.x - a.x) * t, a.y + (b.y - a.y) * t});
        changes += bit != previous;
        previous = bit;
    }
    return changes;
}

// The symbol side counted along the timing patterns: from the centre of one
// finder to the next along row 6 (or column 6), modules 6 to side - 7
// alternate, giving side - 13 colour changes. A homography keeps straight
// lines straight and does not change the count, so this holds under any
// perspective; 0 when the two lines disagree.
int SideFromTiming(const BinaryPicture& plane, const PointF& tl, const PointF& tr, const PointF& bl,
                   float sideEstimate) {
    const int side = std::clamp(static_cast<int>(std::lround(sideEstimate)), 21, kMaxSide);
    const float f = side - 3.5f;
    Homography affine;
    const PointF src[4] = {{3.5f, 3.5f}, {f, 3.5f}, {f, f}, {3.5f, f}};
    const PointF dst[4] = {tl, tr, {tr.x + bl.x - tl.x, tr.y + bl.y - tl.y}, bl};
    if (!affine.Fit(src, dst)) return 0;
    // The affine map puts the far end of each line slightly off under
    // perspective, so three parallel lines are walked and the count nearest
    // the estimate kept.
    int best[2] = {0, 0};
    for (float offset : {6.5f, 6.2f, 6.8f}) {
        const int row = ChangesAlong(plane, affine.Map(3.5f, offset), affine.Map(f, offset)) + 13;
        const int column = ChangesAlong(plane, affine.Map(offset, 3.5f), affine.Map(offset, f)) + 13;
        if (std::abs(row - sideEstimate) < std::abs(best[0] - sideEstimate)) best[0] = row;
        if (std::abs(column - sideEstimate) < std::abs(best[1] - sideEstimate)) best[1] = column;
    }
    return std::abs(best[0] - best[1]) <= 4 ? (best[0] + best[1]) / 2 : 0;
}

// Share of the timing pattern modules (row 6 and column 6 between the
// finders) the map reads right: about one half for a false triple.
float TimingAgreement(const BinaryPicture& plane, const ModuleMap& map, int side) {
    const int n = std::min(side - 16, kMaxSide);  // modules 8 to side - 9
    if (n <= 0) return 0;
    float centres[kMaxSide];
    for (int i = 0; i < n; ++i) centres[i] = (8 + i) + 0.5f;
    uint8_t row[kMaxSide], column[kMaxSide];
    SampleLine(plane, map, centres, n, 6.5f, true, row);
    SampleLine(plane, map, centres, n, 6.5f, false, column);
    int right = 0;
    for (int i = 0; i < n; ++i) {
        const uint8_t expected = (8 + i) % 2 == 0 ? 1 : 0;
        right += (row[i] == expected) + (column[i] == expected);
    }
    return static_cast<float>(right) / (2 * n);
}

constexpr float kMinTimingAgreement = 0.65f;
// A map is only corrected module by module when its timing patterns already
// read better than chance.
constexpr float kMinRefinedTiming = 0.6f;
// A finder frame that reads well: timing agreement and format bit errors.
constexpr float kMinFrameTiming = 0.8f;
constexpr int kMaxFrameFormatErrors = 1;
// The fourth-corner search: half-module steps each way, and tries per unit
// of sampling budget (a version 1 grid is small).
constexpr int kCornerReach = 3;
constexpr int kCornerTriesPerSampling = 8;

// The version information read through the map: only its two blocks of
// 6 x 3 modules are sampled.
int VersionThrough(const BinaryPicture& plane, const ModuleMap& map, int side) {
    static thread_local SampledGrid probe;
    probe.side = side;
    for (int a = 0; a < 6; ++a)
        for (int b = side - 11; b <= side - 9; ++b) {
            probe.modules[a * side + b] = SampleAt(plane, map.Map(b + 0.5f, a + 0.5f));
            probe.modules[b * side + a] = SampleAt(plane, map.Map(a + 0.5f, b + 0.5f));
        }
    return ReadVersion(probe);
}

// Every alignment pattern of a large version, each searched near where the
// global map and its already found neighbours put it.
void FollowAlignmentGrid(const BinaryPicture& plane, int version, ModuleMap& map) {
    const qrcommon::AlignmentRow& row = qrcommon::kAlignment[version];
    const int n = row.count;
    if (n < 3) return;
    PointF points[49];
    PointF shift[49];
    bool located[49] = {};
    for (int i = 0; i < n; ++i)
        for (int j = 0; j < n; ++j) {
            const int k = i * n + j;
            PointF at, ex, ey;
            LocalAxes(map.Global(), row.pos[j] + 0.5f, row.pos[i] + 0.5f, at, ex, ey);
            shift[k] = {0, 0};
            const bool inFinder = (i == 0 && j == 0) || (i == 0 && j == n - 1) || (i == n - 1 && j == 0);
            if (inFinder) {
                points[k] = at;
                located[k] = true;
                continue;
            }
            // Where neighbours above and to the left were found off the global
            // map, this one is likely off the same way.
            float sx = 0, sy = 0;
            int m = 0;
            for (int nk : {i > 0 ? k - n : -1, j > 0 ? k - 1 : -1, i > 0 && j > 0 ? k - n - 1 : -1})
                if (nk >= 0 && located[nk]) sx += shift[nk].x, sy += shift[nk].y, ++m;
            const PointF predicted{at.x + (m ? sx / m : 0), at.y + (m ? sy / m : 0)};
            PointF found;
            if (FindAlignment(plane, predicted, ex, ey, 3, found)) {
                points[k] = found;
                shift[k] = Minus(found, at);
                located[k] = true;
            } else {
                points[k] = predicted;
                shift[k] = Minus(predicted, at);
            }
        }
    map.SetCells(row.pos, n, points);
}

bool TryOrientations(const BinaryPicture& plane, const ModuleMap& map, int version, const GridTrial& trial) {
    static thread_local SampledGrid straight, mirrored;
    const int side = qrcommon::SymbolSide(version);
    if (TimingAgreement(plane, map, side) < kMinTimingAgreement) return false;
    SampleGrid(plane, map, side, straight);
    mirrored = straight;
    Transpose(mirrored);
    const FormatReading fs = ReadFormat(straight), fm = ReadFormat(mirrored);
    const PointF c[4] = {map.Map(0, 0), map.Map(static_cast<float>(side), 0),
                         map.Map(static_cast<float>(side), static_cast<float>(side)),
                         map.Map(0, static_cast<float>(side))};
    auto attempt = [&](SampledGrid& grid, const FormatReading& f, bool isMirrored) {
        if (f.distance > 3) return false;
        grid.version = version;
        grid.level = f.level;
        grid.mask = f.mask;
        grid.mirrored = isMirrored;
        grid.inverted = plane.inverted;
        Quad q;
        const int order[4] = {0, isMirrored ? 3 : 1, 2, isMirrored ? 1 : 3};
        for (int i = 0; i < 4; ++i) q.x[i] = c[order[i]].x, q.y[i] = c[order[i]].y;
        return trial(grid, q);
    };
    if (fs.distance <= fm.distance) return attempt(straight, fs, false) || attempt(mirrored, fm, true);
    return attempt(mirrored, fm, true) || attempt(straight, fs, false);
}

// The parts of a symbol its finders alone place, the timing patterns and
// the format information, read almost without fault: the symbol is real, and
// a grid that still fails is most likely off at the far corner.
bool FinderFrameReads(const BinaryPicture& plane, const ModuleMap& map, int side) {
    if (TimingAgreement(plane, map, side) < kMinFrameTiming) return false;
    static thread_local SampledGrid grid;
    SampleGrid(plane, map, side, grid);
    if (ReadFormat(grid).distance <= kMaxFrameFormatErrors) return true;
    Transpose(grid);
    return ReadFormat(grid).distance <= kMaxFrameFormatErrors;
}

// A version 1 symbol has no alignment pattern, and its fourth corner, taken
// from the finders' edges or completing the parallelogram, can miss the real
// one by a module under strong perspective. Where the finder frame reads
// well, corners around the first guess are tried in half-module steps,
// nearest first; every kCornerTriesPerSampling tries spend one unit of
// `budget`.
bool SearchFourthCorner(const BinaryPicture& plane, const PointF& tl, const PointF& tr, const PointF& bl,
                        const ModuleMap& first, const GridTrial& trial, int& budget) {
    constexpr int kVersion = 1;
    const int side = qrcommon::SymbolSide(kVersion);
    if (!FinderFrameReads(plane, first, side)) return false;
    static const std::vector<std::pair<int, int>> offsets = [] {
        std::vector<std::pair<int, int>> o;
        for (int i = -kCornerReach; i <= kCornerReach; ++i)
            for (int j = -kCornerReach; j <= kCornerReach; ++j)
                if (i != 0 || j != 0) o.emplace_back(i, j);
        std::stable_sort(o.begin(), o.end(), [](auto a, auto b) {
            return a.first * a.first + a.second * a.second < b.first * b.first + b.second * b.second;
        });
        return o;
    }();
    const float s = static_cast<float>(side);
    PointF at, ex, ey;
    LocalAxes(first.Global(), s, s, at, ex, ey);
    int tries = 0;
    for (const auto& [i, j] : offsets) {
        if (tries++ % kCornerTriesPerSampling == 0 && budget-- <= 0) return false;
        const PointF corner{at.x + (i * ex.x + j * ey.x) / 2, at.y + (i * ex.y + j * ey.y) / 2};
        Homography h;
        if (FitFourth(tl, tr, bl, side, {s, s}, corner, h) && TryOrientations(plane, ModuleMap(h), kVersion, trial))
            return true;
    }
    return false;
}

}  // namespace

int MapSymbol(const BinaryPicture& plane, const PointF& tl, const PointF& tr, const PointF& bl, int version,
              ModuleMap maps[2]) {
    const int side = qrcommon::SymbolSide(version);
    const float f = side - 3.5f, s = static_cast<float>(side);
    Homography affine;
    if (!FitFourth(tl, tr, bl, side, {f, f}, {tr.x + bl.x - tl.x, tr.y + bl.y - tl.y}, affine)) return 0;
    // The outer corner from the finders' edges corrects most of the
    // perspective, but blur and a curved sheet can mislead it, so the affine
    // map stays an alternative where the alignment pattern cannot decide.
    Homography rough = affine;
    PointF corner;
    bool distinct = false;
    if (FindOuterCorner(plane, affine, side, corner) && FitFourth(tl, tr, bl, side, {s, s}, corner, rough)) {
        const PointF a = affine.Map(s, s), unit = affine.Map(s + 1, s);
        distinct = Length(Minus(corner, a)) > 0.3f * Length(Minus(unit, a));
    }
    int count = 0;
    if (version >= 2) {
        // The alignment pattern near the corner-corrected prediction and near
        // the affine one; small modules mislead the edges, a curved sheet the
        // affine map. Where both are found apart, the better match goes first.
        const float a = side - 6.5f;
        PointF at, ex, ey, found[2];
        int score[2] = {-1, -1};
        const Homography* guesses[2] = {&rough, &affine};
        constexpr float kNearModules = 4;
        for (int k = 0; k < (distinct ? 2 : 1); ++k) {
            LocalAxes(*guesses[k], a, a, at, ex, ey);
            if (!FindAlignment(plane, at, ex, ey, kNearModules, found[k], &score[k])) score[k] = -1;
        }
        if (score[0] < 0 && score[1] < 0) {
            // Further out around the corner-corrected prediction; its near
            // square was searched in vain above.
            LocalAxes(rough, a, a, at, ex, ey);
            if (!FindAlignment(plane, at, ex, ey, kNearModules + std::min(side / 10.0f, 8.0f), found[0], &score[0],
                               kNearModules))
                score[0] = -1;
        }
        const bool same = score[0] >= 0 && score[1] >= 0 && Length(Minus(found[0], found[1])) < 0.5f * Length(ex);
        const int first = score[1] > score[0] ? 1 : 0;
        for (int k : {first, 1 - first}) {
            Homography h;
            if (score[k] >= 0 && !(same && k != first) && FitFourth(tl, tr, bl, side, {a, a}, found[k], h))
                maps[count++] = ModuleMap(h);
        }
    }
    if (count == 0) {
        maps[count++] = ModuleMap(rough);
        if (distinct) maps[count++] = ModuleMap(affine);
    }
    // Following every alignment pattern costs the most; a map whose timing
    // patterns read like noise is not worth it (the bar is lower than the
    // final one, as a curved sheet bends the timing away from one homography).
    if (version >= 7)
        for (int i = 0; i < count; ++i)
            if (TimingAgreement(plane, maps[i], side) >= 0.55f) FollowAlignmentGrid(plane, version, maps[i]);
    return count;
}

void SettleMadeFinder(const BinaryPicture& plane, PointF* finders[3], int made, float module) {
    if (module <= 0) return;
    // Offsets in half modules, nearest first: of positions that read equally
    // well, the one nearest the made-up position wins.
    static const std::vector<std::pair<int, int>> offsets = [] {
        std::vector<std::pair<int, int>> o;
        for (int i = -4; i <= 4; ++i)
            for (int j = -4; j <= 4; ++j) o.emplace_back(i, j);
        std::stable_sort(o.begin(), o.end(), [](auto a, auto b) {
            return a.first * a.first + a.second * a.second < b.first * b.first + b.second * b.second;
        });
        return o;
    }();
    PointF& moved = *finders[made];
    const PointF start = moved;
    const float span = (Length(Minus(*finders[1], *finders[0])) + Length(Minus(*finders[2], *finders[0]))) / 2;
    const int estimate = static_cast<int>(std::lround((span / module + 7 - 17) / 4));
    float best = kMinTimingAgreement;
    PointF settled = start;
    for (const auto& [i, j] : offsets) {
        moved = {start.x + i * module / 2, start.y + j * module / 2};
        const PointF &tl = *finders[0], &tr = *finders[1], &bl = *finders[2];
        for (int version = std::max(1, estimate - 1); version <= std::min(40, estimate + 1); ++version) {
            const int side = qrcommon::SymbolSide(version);
            const float f = side - 3.5f;
            Homography affine;
            if (!FitFourth(tl, tr, bl, side, {f, f}, {tr.x + bl.x - tl.x, tr.y + bl.y - tl.y}, affine)) continue;
            const float agreement = TimingAgreement(plane, ModuleMap(affine), side);
            if (agreement > best) best = agreement, settled = moved;
        }
    }
    moved = settled;
}

LegModules MeasureLegs(const BinaryPicture& plane, const FinderCandidate& tl, const FinderCandidate& tr,
                       const FinderCandidate& bl) {
    return {(ModuleAlong(plane, tl, tr) + ModuleAlong(plane, tr, tl)) / 2,
            (ModuleAlong(plane, tl, bl) + ModuleAlong(plane, bl, tl)) / 2};
}

bool ReadSymbol(const BinaryPicture& plane, const PointF& tl, const PointF& tr, const PointF& bl, LegModules legs,
                const GridTrial& trial, int& budget) {
    const float top = Length(Minus(tr, tl)) / legs.top;
    const float left = Length(Minus(bl, tl)) / legs.left;
    const float sideEstimate = (top + left) / 2 + 7;
    const int estimate = std::clamp(static_cast<int>(std::lround((sideEstimate - 17) / 4)), 1, 40);
    // Where the timing patterns agree with each other and roughly with the
    // finder distances, their count is the better estimate under
    // perspective (the finder distances are tried next).
    const int timingSide = SideFromTiming(plane, tl, tr, bl, sideEstimate);
    const bool timingAgrees = timingSide != 0 && std::abs(timingSide - sideEstimate) <= sideEstimate * 0.3f + 4;
    int first = timingAgrees ? std::clamp(static_cast<int>(std::lround((timingSide - 17) / 4.0f)), 1, 40) : estimate;
    // Large versions cost the most to map and sample. Where the straight
    // timing lines disagree (a false triple, or a curved sheet), the version
    // information beside the finders, which needs only the local geometry,
    // must read before going on.
    if (!timingAgrees && estimate >= 7) {
        const int side = qrcommon::SymbolSide(estimate);
        const float f = side - 3.5f;
        Homography affine;
        if (!FitFourth(tl, tr, bl, side, {f, f}, {tr.x + bl.x - tl.x, tr.y + bl.y - tl.y}, affine)) return false;
        first = VersionThrough(plane, ModuleMap(affine), side);
        if (first == 0) return false;
    }
    ModuleMap maps[2];
    int tried[4] = {};
    int triedCount = 0;
    for (int version : {first, estimate, estimate + 1, estimate - 1}) {
        if (version < 1 || version > 40 || std::find(tried, tried + triedCount, version) != tried + triedCount)
            continue;
        tried[triedCount++] = version;
        bool confirmed = false;
        int count = MapSymbol(plane, tl, tr, bl, version, maps);
        if (version >= 7 && count > 0) {
            // The version information outranks the estimate when it reads.
            const int read = VersionThrough(plane, maps[0], qrcommon::SymbolSide(version));
            if (read != 0 && read != version) count = MapSymbol(plane, tl, tr, bl, read, maps);
            if (read != 0) version = read, confirmed = true;
        }
        for (int i = 0; i < count; ++i) {
            if (budget-- <= 0) return false;
            if (TryOrientations(plane, maps[i], version, trial)) return true;
        }
        // A bent sheet or cloth moves modules off any one map: where the
        // timing patterns still mostly read, the map is corrected by where the
        // module borders actually lie and sampled again.
        const int side = qrcommon::SymbolSide(version);
        for (int i = 0; i < count; ++i) {
            if (TimingAgreement(plane, maps[i], side) < kMinRefinedTiming) continue;
            ModuleMap refined = maps[i];
            if (!RefineByModuleEdges(plane, side, refined)) continue;
            // The measurement walks about as many points as two samplings.
            budget -= 2;
            if (budget < 0) return false;
            if (TryOrientations(plane, refined, version, trial)) return true;
        }
        if (version == 1 && count > 0 && SearchFourthCorner(plane, tl, tr, bl, maps[0], trial, budget)) return true;
        if (confirmed) return false;
    }
    return false;
}

}  // namespace lectavo::photo
