#include "photo/photo_stage.h"

#include <algorithm>
#include <cmath>
#include <optional>
#include <utility>
#include <vector>

#include "common/qr_tables.h"
#include "core/geometry.h"
#include "core/picture_limits.h"
#include "photo/adaptive_binarizer.h"
#include "photo/finder_detector.h"
#include "photo/finder_grouping.h"
#include "photo/triple_reading.h"

namespace lectavo::photo {

float OutlineModule(const Quad& q, int side) {
    float perimeter = 0;
    for (int i = 0, j = 3; i < 4; j = i++) perimeter += std::hypot(q.x[i] - q.x[j], q.y[i] - q.y[j]);
    return side > 0 ? perimeter / (4.0f * static_cast<float>(side)) : 0;
}

namespace {

// Triples tried and grids sampled per binary plane: a base, a share per
// megapixel of the plane (a large photo holds more and smaller symbols and
// more finder-like texture) and a share per symbol still wanted, the
// megapixels counted up to the largest picture accepted.
struct PlaneBudget {
    int attempts, samplings;
};

PlaneBudget BudgetFor(const BinaryPicture& plane, int symbolsWanted) {
    const long long pixels = static_cast<long long>(plane.width) * plane.height;
    const int megapixels = static_cast<int>(std::min<long long>(pixels / 1000000, 128));
    const int wanted = std::min(symbolsWanted, kMaxPhotoSymbols);
    return {40 + 8 * megapixels + 2 * wanted, 60 + 12 * megapixels + 3 * wanted};
}
// Finder pairs completed to a triple: among this many of the strongest
// candidates, with module sizes at most this far apart.
constexpr int kMaxPairCandidates = 24;
constexpr float kMaxPairModuleRatio = 1.5f;
// The longest leg of a pair, in modules (finder grouping allows as much).
constexpr float kMaxPairSpan = 200;
// Where a pair's third finder is made up, a finder seen by the lenient search
// within this many modules, or this share of the leg, takes its place.
constexpr float kNearModules = 3;
constexpr float kNearShare = 0.12f;
// Pictures up to this side are tried enlarged as well.
constexpr int kMaxEnlarged = 200;
// Finder candidates with modules at least this wide (pixels) can still be
// found on a copy of half the size.
constexpr float kMinModuleToReduce = 4.0f;

struct Stage {
    int limit;
    // The most symbols the picture can hold, each at least kMinPictureSide
    // pixels square: the budget's share per symbol wanted counts no more.
    int room;
    const SymbolTrial& tryGrid;
    int read = 0;
    // Candidates left unread with modules of kMinModuleToReduce plane pixels or more.
    int wideCandidates = 0;
    // Candidates the full-size plane left unread with modules under kNarrowModule.
    std::vector<PointF> narrowCandidates;
    // Grey from which pixels are glare (GlareLevel of the picture).
    int glare = kNoGlare;
    // Finder centres and module sizes (picture pixels) of the symbols read.
    std::vector<FinderCandidate> used;
    // Triples of the current plane that read nothing, with the samplings
    // they spent: a pair's made-up finder often settles where a triple's
    // finder was seen, and the same triple reads the same grids again.
    struct Unread {
        PointF centres[3];
        LegModules legs;
        int spent;
    };
    std::vector<Unread> unread;
    // Symbols held by the caller or read here, in picture pixels.
    std::vector<HeldSymbol> held;

    // Drops the candidates that are modules of a symbol held: inside its
    // outline, with modules within kMaxPairModuleRatio of its own.
    void PassOverHeld(std::vector<FinderCandidate>& finders, float factor) const {
        if (held.empty()) return;
        std::erase_if(finders, [&](const FinderCandidate& f) {
            const PointF at{f.centre.x * factor, f.centre.y * factor};
            const float module = f.moduleSize * factor;
            return std::any_of(held.begin(), held.end(), [&](const HeldSymbol& h) {
                return module <= kMaxPairModuleRatio * h.module && h.module <= kMaxPairModuleRatio * module &&
                       InsideQuad(h.outline.x, h.outline.y, at.x, at.y);
            });
        });
    }

    // ReadSymbol's outcome depends only on the plane, the three centres, the
    // leg modules and the budget; a triple that ended unread without running
    // out of budget ends so again with as much budget or more.
    bool ReadOnce(const BinaryPicture& plane, const FinderCandidate& tl, const FinderCandidate& tr,
                  const FinderCandidate& bl, const GridTrial& trial, int& budget) {
        const Unread key{{tl.centre, tr.centre, bl.centre}, MeasureLegs(plane, tl, tr, bl), 0};
        const auto same = [&](const Unread& u) {
            for (int k = 0; k < 3; ++k)
                if (u.centres[k].x != key.centres[k].x || u.centres[k].y != key.centres[k].y) return false;
            return u.legs.top == key.legs.top && u.legs.left == key.legs.left;
        };
        for (const Unread& u : unread)
            if (same(u) && budget >= u.spent) {
                budget -= u.spent;
                return false;
            }
        const int before = budget;
        if (ReadSymbol(plane, tl.centre, tr.centre, bl.centre, key.legs, trial, budget)) return true;
        if (budget >= 0)
            unread.push_back({{key.centres[0], key.centres[1], key.centres[2]}, key.legs, before - budget});
        return false;
    }

    // A finder of a symbol already read, seen again on another plane. (A
    // symbol printed inside another keeps its own finders apart, so it is
    // still read.)
    bool AlreadyRead(const FinderCandidate& f, float factor) const {
        for (const FinderCandidate& u : used) {
            const float dx = u.centre.x - f.centre.x * factor, dy = u.centre.y - f.centre.y * factor;
            if (dx * dx + dy * dy < 9 * u.moduleSize * u.moduleSize) return true;
        }
        return false;
    }

    // Tries the grids of one triple; true when it read (a new symbol or one
    // already held), whose finders are then passed over.
    bool TryTriple(const BinaryPicture& plane, float factor, const FinderCandidate& tl, const FinderCandidate& tr,
                   const FinderCandidate& bl, int& budget) {
        GridVerdict verdict = GridVerdict::kUnread;
        const auto trial = [&](const SampledGrid& grid, const Quad& q) {
            Quad scaled = q;
            for (int i = 0; i < 4; ++i) scaled.x[i] *= factor, scaled.y[i] *= factor;
            verdict = tryGrid(grid, scaled);
            if (verdict == GridVerdict::kRead) held.push_back({scaled, OutlineModule(scaled, grid.side)});
            return verdict != GridVerdict::kUnread;
        };
        if (!ReadOnce(plane, tl, tr, bl, trial, budget)) return false;
        for (const FinderCandidate* f : {&tl, &tr, &bl})
            used.push_back({{f->centre.x * factor, f->centre.y * factor}, f->moduleSize * factor, f->hits});
        if (verdict == GridVerdict::kRead) ++read;
        return true;
    }

    // Two finders of a symbol whose third was lost (glare or a shadow edge
    // over it, blur): the third is put where it completes a right angle with
    // legs of equal length, with either finder at the corner and on either
    // side, or opposite the pair when the pair is the diagonal. Strongest
    // candidates first, with attempts and samplings of their own.
    void TryPairs(const BinaryPicture& plane, float factor, const std::vector<FinderCandidate>& finders,
                  std::vector<uint8_t>& taken, PlaneBudget allowed) {
        const int n = std::min(static_cast<int>(finders.size()), kMaxPairCandidates);
        int attempts = 0, budget = allowed.samplings;
        std::optional<std::vector<FinderCandidate>> lenient;  // found once, when first needed
        for (int i = 0; i < n; ++i)
            for (int j = i + 1; j < n; ++j) {
                if (read >= limit || attempts >= allowed.attempts || budget <= 0) return;
                const FinderCandidate& a = finders[i];
                const FinderCandidate& b = finders[j];
                if (taken[i] || taken[j] || AlreadyRead(a, factor) || AlreadyRead(b, factor)) continue;
                const float module = (a.moduleSize + b.moduleSize) / 2;
                if (std::max(a.moduleSize, b.moduleSize) > kMaxPairModuleRatio * std::min(a.moduleSize, b.moduleSize))
                    continue;
                const float dx = b.centre.x - a.centre.x, dy = b.centre.y - a.centre.y;
                const float span = std::hypot(dx, dy) / module;  // side - 7 modules along a leg
                // Up to kMaxPairSpan: finder module sizes measured at a slant
                // read a version 40 leg as more than its 170 modules.
                const bool leg = span >= 14 && span <= kMaxPairSpan,
                           diagonal = span >= 14 * 1.41f && span <= kMaxPairSpan * 1.41f;
                // The corner finder, the two others, and which of the three is made up.
                struct Hypothesis {
                    PointF corner, other, third, made;
                };
                Hypothesis hypotheses[14];
                int count = 0;
                // Under perspective the lost leg is seldom as long as the one seen.
                if (leg)
                    for (float scale : {1.0f, 1.12f, 0.9f})
                        for (const FinderCandidate* c : {&a, &b}) {
                            const FinderCandidate* o = c == &a ? &b : &a;
                            const float sx = (o->centre.x - c->centre.x) * scale,
                                        sy = (o->centre.y - c->centre.y) * scale;
                            for (float turn : {1.0f, -1.0f}) {
                                const PointF made{c->centre.x - turn * sy, c->centre.y + turn * sx};
                                hypotheses[count++] = {c->centre, o->centre, made, made};
                            }
                        }
                if (diagonal)
                    for (float turn : {1.0f, -1.0f}) {
                        const PointF middle{(a.centre.x + b.centre.x) / 2, (a.centre.y + b.centre.y) / 2};
                        const PointF made{middle.x - turn * dy / 2, middle.y + turn * dx / 2};
                        hypotheses[count++] = {made, a.centre, b.centre, made};
                    }
                // The triple of a hypothesis, the made-up finder settled
                // where the timing patterns read best unless it was seen.
                const auto attempt = [&](const Hypothesis& y, bool seen) {
                    const FinderCandidate corner{y.corner, module, 0}, p{y.other, module, 0}, q{y.third, module, 0};
                    const float ux = p.centre.x - corner.centre.x, uy = p.centre.y - corner.centre.y;
                    const float vx = q.centre.x - corner.centre.x, vy = q.centre.y - corner.centre.y;
                    const bool clockwise = ux * vy - uy * vx > 0;
                    FinderCandidate tl = corner, tr = clockwise ? p : q, bl = clockwise ? q : p;
                    PointF* centres[3] = {&tl.centre, &tr.centre, &bl.centre};
                    const int made = y.made.x == y.corner.x && y.made.y == y.corner.y ? 0 : clockwise ? 2 : 1;
                    if (!seen) SettleMadeFinder(plane, centres, made, module);
                    ++attempts;
                    return TryTriple(plane, factor, tl, tr, bl, budget);
                };
                for (int h = 0; h < count && attempts < allowed.attempts && budget > 0; ++h) {
                    const Hypothesis& y = hypotheses[h];
                    if (!plane.Inside(static_cast<int>(y.made.x), static_cast<int>(y.made.y))) continue;
                    if (attempt(y, false)) {
                        taken[i] = taken[j] = 1;
                        break;
                    }
                    // Perspective can move the lost finder further from the
                    // right angle than settling reaches: a finder the lenient
                    // search sees near there is tried in its place.
                    if (attempts >= allowed.attempts || budget <= 0) break;
                    if (!lenient) lenient = DetectLenientFinders(plane);
                    const bool madeCorner = y.made.x == y.corner.x && y.made.y == y.corner.y;
                    const float leg = std::hypot(dx, dy) / (madeCorner ? 1.41f : 1);
                    FinderCandidate seen;
                    if (!NearestFinder(*lenient, y.made, std::max(kNearModules * module, kNearShare * leg), module,
                                       seen) ||
                        std::hypot(seen.centre.x - y.made.x, seen.centre.y - y.made.y) < module)
                        continue;
                    Hypothesis moved = y;
                    (madeCorner ? moved.corner : moved.third) = moved.made = seen.centre;
                    if (attempt(moved, true)) {
                        taken[i] = taken[j] = 1;
                        break;
                    }
                }
            }
    }

    // `factor` is picture pixels per plane pixel.
    void TryPlane(const BinaryPicture& plane, float factor, std::vector<FinderCandidate>* lightFinders = nullptr) {
        std::vector<FinderCandidate> finders = DetectFinders(plane, lightFinders);
        PassOverHeld(finders, factor);
        if (lightFinders) PassOverHeld(*lightFinders, factor);
        const std::vector<FinderTriple> triples = GroupFinders(finders);
        unread.clear();
        std::vector<uint8_t> taken(finders.size(), 0);
        const PlaneBudget allowed = BudgetFor(plane, std::min(limit - read, room));
        int attempts = 0, budget = allowed.samplings;
        for (const FinderTriple& t : triples) {
            if (read >= limit || attempts >= allowed.attempts || budget <= 0) break;
            if (taken[t.topLeft] || taken[t.topRight] || taken[t.bottomLeft]) continue;
            const FinderCandidate& tl = finders[t.topLeft];
            const FinderCandidate& tr = finders[t.topRight];
            const FinderCandidate& bl = finders[t.bottomLeft];
            if (AlreadyRead(tl, factor) || AlreadyRead(tr, factor) || AlreadyRead(bl, factor)) continue;
            ++attempts;
            if (TryTriple(plane, factor, tl, tr, bl, budget))
                taken[t.topLeft] = taken[t.topRight] = taken[t.bottomLeft] = 1;
        }
        if (read < limit) TryPairs(plane, factor, finders, taken, {allowed.attempts / 2, allowed.samplings / 2});
        for (size_t i = 0; i < finders.size(); ++i)
            wideCandidates += !taken[i] && finders[i].moduleSize >= kMinModuleToReduce;
        if (factor == 1)
            for (size_t i = 0; i < finders.size(); ++i)
                if (!taken[i] && finders[i].moduleSize < kNarrowModule) narrowCandidates.push_back(finders[i].centre);
    }

    // The plain plane, and the inverted one where the plain plane shows
    // light-on-dark finders that can make a symbol.
    void TryBothPlanes(const GreyView& view, int factor, BinaryPicture& plane) {
        std::vector<FinderCandidate> lightFinders;
        BinarizeAdaptive(view, false, plane, glare);
        TryPlane(plane, static_cast<float>(factor), &lightFinders);
        if (read >= limit || !AnyTriple(lightFinders)) return;
        BinarizeAdaptive(view, true, plane, glare);
        TryPlane(plane, static_cast<float>(factor));
    }
};

}  // namespace

int RunPhotoStage(const GreyView& grey, int symbolLimit, const SymbolTrial& tryGrid, std::vector<PointF>* narrowUnread,
                  std::vector<HeldSymbol> held) {
    if (narrowUnread) narrowUnread->clear();
    if (!grey.pixels || grey.width < kMinPictureSide || grey.height < kMinPictureSide || symbolLimit <= 0) return 0;
    if (static_cast<int64_t>(grey.width) * grey.height > kMaxPhotoStagePixels) return 0;
    const int room = (grey.width / kMinPictureSide) * (grey.height / kMinPictureSide);
    Stage stage{
        std::min(symbolLimit, kMaxPhotoSymbols), room, tryGrid, 0, 0, {}, GlareLevel(grey), {}, {}, std::move(held)};
    // Coarse copies first: large modules are found there at a fraction of
    // the cost; a copy is only made where the short side keeps 400 px, so
    // small symbols are still read at full size.
    const int shortSide = std::min(grey.width, grey.height);
    std::vector<int> factors;
    for (int f : {4, 2})
        if (shortSide / f >= 400) factors.push_back(f);
    factors.push_back(1);
    std::vector<uint8_t> storage;
    BinaryPicture plane;
    int coarsestWide = 0;
    for (int factor : factors) {
        stage.TryBothPlanes(Reduce(grey, factor, storage), factor, plane);
        if (stage.read >= stage.limit) return stage.read;
        if (factor == factors.front()) coarsestWide = stage.wideCandidates;
    }
    // Specks and texture inside large modules (a picture printed into the
    // symbol, a coarse paper) can break every row through a finder, and a
    // finder's stone much wider than the binariser's reach comes out hollow:
    // a copy of half the coarsest plane's size smooths the one and narrows
    // the other while its modules keep 2 px.
    if (coarsestWide > 0) {
        const int factor = 2 * factors.front();
        stage.TryBothPlanes(Reduce(grey, factor, storage), factor, plane);
        if (stage.read >= stage.limit) return stage.read;
    }
    // Small pictures once more at twice the size: modules of one or two
    // pixels then give the run and edge measurements room.
    if (std::max(grey.width, grey.height) <= kMaxEnlarged) {
        const GreyView view = Enlarge(grey, storage);
        BinarizeAdaptive(view, false, plane, stage.glare);
        stage.TryPlane(plane, 0.5f);
    }
    if (narrowUnread) *narrowUnread = std::move(stage.narrowCandidates);
    return stage.read;
}

int RunPhotoStage(const GreyView& grey, int symbolLimit, const GridTrial& tryGrid) {
    return RunPhotoStage(grey, symbolLimit, SymbolTrial([&](const SampledGrid& grid, const Quad& quad) {
                             return tryGrid(grid, quad) ? GridVerdict::kRead : GridVerdict::kUnread;
                         }));
}

}  // namespace lectavo::photo
