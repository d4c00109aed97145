#include "photo/photo_stage.h"

#include <algorithm>
#include <cmath>
#include <vector>

#include "common/qr_tables.h"
#include "photo/adaptive_binarizer.h"
#include "photo/finder_detector.h"
#include "photo/finder_grouping.h"
#include "photo/triple_reading.h"

namespace lectavo::photo {
namespace {

// Triples tried and grids sampled per binary plane: a base, a share per
// megapixel of the plane (a large photo holds more and smaller symbols and
// more finder-like texture) and a share per symbol still wanted, the
// megapixels counted up to the largest picture accepted.
struct PlaneBudget {
    int attempts, samplings;
};

PlaneBudget BudgetFor(const BinaryPlane& plane, int symbolsWanted) {
    const long long pixels = static_cast<long long>(plane.width) * plane.height;
    const int megapixels = static_cast<int>(std::min<long long>(pixels / 1000000, 128));
    const int wanted = std::min(symbolsWanted, kMaxPhotoSymbols);
    return {40 + 8 * megapixels + 2 * wanted, 60 + 12 * megapixels + 3 * wanted};
}
// Pictures up to this side are tried enlarged as well.
constexpr int kMaxEnlarged = 200;
// Finder candidates with modules at least this wide (pixels) can still be
// found on a copy of half the size.
constexpr float kMinModuleToReduce = 4.0f;
// Pictures beyond this many pixels are refused (16 megapixels and more fit).
constexpr long long kMaxPixels = 1LL << 27;

struct Stage {
    int limit;
    const SymbolTrial& tryGrid;
    int read = 0;
    // Candidates left unread with modules of kMinModuleToReduce plane pixels or more.
    int wideCandidates = 0;
    // Finder centres and module sizes (picture pixels) of the symbols read.
    std::vector<FinderCandidate> used;

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

    // `factor` is picture pixels per plane pixel.
    void TryPlane(const BinaryPlane& plane, float factor, std::vector<FinderCandidate>* lightFinders = nullptr) {
        const std::vector<FinderCandidate> finders = DetectFinders(plane, lightFinders);
        const std::vector<FinderTriple> triples = GroupFinders(finders);
        std::vector<uint8_t> taken(finders.size(), 0);
        const PlaneBudget allowed = BudgetFor(plane, limit - read);
        int attempts = 0, budget = allowed.samplings;
        for (const FinderTriple& t : triples) {
            if (read >= limit || attempts >= allowed.attempts || budget <= 0) break;
            if (taken[t.topLeft] || taken[t.topRight] || taken[t.bottomLeft]) continue;
            const FinderCandidate& tl = finders[t.topLeft];
            const FinderCandidate& tr = finders[t.topRight];
            const FinderCandidate& bl = finders[t.bottomLeft];
            if (AlreadyRead(tl, factor) || AlreadyRead(tr, factor) || AlreadyRead(bl, factor)) continue;
            ++attempts;
            GridVerdict verdict = GridVerdict::kUnread;
            const auto trial = [&](const SampledGrid& grid, const Quad& q) {
                Quad scaled = q;
                for (int i = 0; i < 4; ++i) scaled.x[i] *= factor, scaled.y[i] *= factor;
                verdict = tryGrid(grid, scaled);
                return verdict != GridVerdict::kUnread;
            };
            if (ReadSymbol(plane, tl, tr, bl, trial, budget)) {
                taken[t.topLeft] = taken[t.topRight] = taken[t.bottomLeft] = 1;
                for (const FinderCandidate* f : {&tl, &tr, &bl})
                    used.push_back({{f->centre.x * factor, f->centre.y * factor}, f->moduleSize * factor, f->hits});
                if (verdict == GridVerdict::kRead) ++read;
            }
        }
        for (size_t i = 0; i < finders.size(); ++i)
            wideCandidates += !taken[i] && finders[i].moduleSize >= kMinModuleToReduce;
    }

    // The plain plane, and the inverted one where the plain plane shows
    // light-on-dark finders that can make a symbol.
    void TryBothPlanes(const GreyView& view, int factor, BinaryPlane& plane) {
        std::vector<FinderCandidate> lightFinders;
        BinarizeAdaptive(view, false, plane);
        TryPlane(plane, static_cast<float>(factor), &lightFinders);
        if (read >= limit || GroupFinders(lightFinders).empty()) return;
        BinarizeAdaptive(view, true, plane);
        TryPlane(plane, static_cast<float>(factor));
    }
};

}  // namespace

int RunPhotoStage(const GreyView& grey, int symbolLimit, const SymbolTrial& tryGrid) {
    if (!grey.pixels || grey.width < 21 || grey.height < 21 || symbolLimit <= 0) return 0;
    if (static_cast<long long>(grey.width) * grey.height > kMaxPixels) return 0;
    Stage stage{std::min(symbolLimit, kMaxPhotoSymbols), tryGrid, 0, 0, {}};
    // Coarse copies first: large modules are found there at a fraction of
    // the cost; a copy is only made where the short side keeps 400 px, so
    // small symbols are still read at full size.
    const int shortSide = std::min(grey.width, grey.height);
    std::vector<int> factors;
    for (int f : {4, 2})
        if (shortSide / f >= 400) factors.push_back(f);
    factors.push_back(1);
    std::vector<uint8_t> storage;
    BinaryPlane plane;
    for (int factor : factors) {
        stage.TryBothPlanes(Reduce(grey, factor, storage), factor, plane);
        if (stage.read >= stage.limit) return stage.read;
    }
    // Specks and texture inside large modules (a picture printed into the
    // symbol, a coarse paper) can break every row through a finder; a copy
    // averaged over 2 x 2 pixels smooths them while its modules keep 2 px.
    if (factors.size() == 1 && stage.wideCandidates > 0) {
        stage.TryBothPlanes(Reduce(grey, 2, storage), 2, plane);
        if (stage.read >= stage.limit) return stage.read;
    }
    // Small pictures once more at twice the size: modules of one or two
    // pixels then give the run and edge measurements room.
    if (std::max(grey.width, grey.height) <= kMaxEnlarged) {
        const GreyView view = Enlarge(grey, storage);
        BinarizeAdaptive(view, false, plane);
        stage.TryPlane(plane, 0.5f);
    }
    return stage.read;
}

int RunPhotoStage(const GreyView& grey, int symbolLimit, const GridTrial& tryGrid) {
    return RunPhotoStage(grey, symbolLimit, SymbolTrial([&](const SampledGrid& grid, const Quad& quad) {
                             return tryGrid(grid, quad) ? GridVerdict::kRead : GridVerdict::kUnread;
                         }));
}

}  // namespace lectavo::photo
