#include "enlarged_passes.h"

#include <algorithm>
#include <cmath>
#include <memory>

#include "input/grey_picture.h"
#include "photo/adaptive_binarizer.h"
#include "plane_passes.h"
#include "same_symbol.h"

namespace lectavo {
namespace {

// A result found on the enlarged copy, in the picture's own pixels. The copy's
// pixel u lies at u / 2 - 1/4 in the picture (each picture pixel becomes two,
// centred a quarter pixel either side of it).
DecodeResult Shrunk(DecodeResult r) {
    for (int k = 0; k < 4; ++k)
        for (int a = 0; a < 2; ++a) {
            r.exactCorners[k][a] = r.exactCorners[k][a] / 2 - 0.25f;
            r.corners[k][a] = static_cast<int32_t>(std::lround(r.exactCorners[k][a]));
        }
    r.foundBy = FoundBy::kPhotoStage;
    return r;
}

}  // namespace

void AppendEnlargedPassResults(const uint8_t* grey, int width, int height, const DecoderOptions& options, int wanted,
                               std::vector<DecodeResult>& results) {
    if (!grey || width <= 0 || height <= 0 || static_cast<int64_t>(width) * height > kMaxEnlargedPassPixels) return;
    if (static_cast<int>(results.size()) >= wanted) return;
    std::vector<uint8_t> storage;
    const GreyView view = photo::Enlarge(GreyView{grey, width, height}, storage);
    GreyRange range;
    range.AddAll(view.pixels, storage.size());

    // Every module of the picture spans at least two pixels of the copy: the
    // finder scan steps as it would for modules twice the size, crossing each
    // finder on the copy about as often as it does on the picture.
    DecoderOptions enlarged = options;
    enlarged.symbolCount = wanted;
    enlarged.minimumModuleSize = static_cast<uint8_t>(std::min(2 * options.minimumModuleSize, 255));
    SearchState state;
    state.minModuleSize = enlarged.minimumModuleSize;
    if (!RunPlanePasses(view.pixels, view.width, view.height, range.Threshold(), false, enlarged, state)) return;
    for (const DecodeResult& r : state.results) {
        if (static_cast<int>(results.size()) >= wanted) return;
        const DecodeResult mapped = Shrunk(r);
        if (!HeldAlready(results, mapped)) results.push_back(mapped);
    }
}

}  // namespace lectavo
