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

// Triples tried and grids sampled per binary plane.
constexpr int kMaxAttemptsPerPlane = 40;
constexpr int kMaxSamplingsPerPlane = 60;
// Pictures beyond this many pixels are refused (16 megapixels and more fit).
constexpr long long kMaxPixels = 1LL << 27;

bool Inside(const Quad& q, float x, float y) {
    int positive = 0, negative = 0;
    for (int i = 0; i < 4; ++i) {
        const int j = (i + 1) % 4;
        const float cross = (q.x[j] - q.x[i]) * (y - q.y[i]) - (q.y[j] - q.y[i]) * (x - q.x[i]);
        (cross >= 0 ? positive : negative)++;
    }
    return positive == 4 || negative == 4;
}

struct Stage {
    int limit;
    const GridTrial& tryGrid;
    int read = 0;
    std::vector<Quad> found;

    bool AlreadyRead(const Point& p, int factor) const {
        for (const Quad& q : found)
            if (Inside(q, p.x * factor, p.y * factor)) return true;
        return false;
    }

    void TryPlane(const BinaryPlane& plane, int factor) {
        const std::vector<FinderCandidate> finders = DetectFinders(plane);
        const std::vector<FinderTriple> triples = GroupFinders(finders);
        std::vector<uint8_t> used(finders.size(), 0);
        int attempts = 0, budget = kMaxSamplingsPerPlane;
        for (const FinderTriple& t : triples) {
            if (read >= limit || attempts >= kMaxAttemptsPerPlane || budget <= 0) return;
            if (used[t.topLeft] || used[t.topRight] || used[t.bottomLeft]) continue;
            const FinderCandidate& tl = finders[t.topLeft];
            const FinderCandidate& tr = finders[t.topRight];
            const FinderCandidate& bl = finders[t.bottomLeft];
            if (AlreadyRead(tl.centre, factor) || AlreadyRead(tr.centre, factor) || AlreadyRead(bl.centre, factor))
                continue;
            ++attempts;
            Quad quad;
            const auto trial = [&](const SampledGrid& grid, const Quad& q) {
                Quad scaled = q;
                for (int i = 0; i < 4; ++i) scaled.x[i] *= factor, scaled.y[i] *= factor;
                if (!tryGrid(grid, scaled)) return false;
                quad = scaled;
                return true;
            };
            if (ReadSymbol(plane, tl, tr, bl, trial, budget)) {
                used[t.topLeft] = used[t.topRight] = used[t.bottomLeft] = 1;
                found.push_back(quad);
                ++read;
            }
        }
    }
};

}  // namespace

int RunPhotoStage(const GreyView& grey, int symbolLimit, const GridTrial& tryGrid) {
    if (!grey.pixels || grey.width < 21 || grey.height < 21 || symbolLimit <= 0) return 0;
    if (static_cast<long long>(grey.width) * grey.height > kMaxPixels) return 0;
    Stage stage{std::min(symbolLimit, kMaxPhotoSymbols), tryGrid, 0, {}};
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
        const GreyView view = Reduce(grey, factor, storage);
        for (bool inverted : {false, true}) {
            BinarizeAdaptive(view, inverted, plane);
            stage.TryPlane(plane, factor);
            if (stage.read >= stage.limit) return stage.read;
        }
    }
    return stage.read;
}

}  // namespace lectavo::photo
