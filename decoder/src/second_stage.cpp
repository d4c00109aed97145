#include "second_stage.h"

#include <algorithm>
#include <cmath>
#include <cstring>
#include <memory>

#include "common/qr_tables.h"
#include "decode/grid_decoding.h"
#include "symbol_trial.h"
#include "photo/photo_stage.h"
#include "same_symbol.h"

namespace lectavo {

namespace {

int32_t RoundedPixel(float v) { return static_cast<int32_t>(std::lround(std::clamp(v, -1e9f, 1e9f))); }

DecodeResult PhotoResult(const SampledGrid& grid, const DecodedData& data, const Quad& quad) {
    int32_t corners[4][2];
    for (int k = 0; k < 4; ++k) {
        corners[k][0] = RoundedPixel(quad.x[k]);
        corners[k][1] = RoundedPixel(quad.y[k]);
    }
    return MakeResult(grid, data, corners, quad, FoundBy::kPhotoStage);
}

}  // namespace

int WantedSymbols(const DecoderOptions& options) { return std::max(1, static_cast<int>(options.symbolCount)); }

bool SecondStageRuns(const DecoderOptions& options, size_t held) {
    return options.photoStage && options.effectLevel == 3 && held < static_cast<size_t>(WantedSymbols(options));
}

int AppendPhotoResults(const uint8_t* grey, int width, int height, int wanted, std::vector<DecodeResult>& results) {
    const int missing = wanted - static_cast<int>(results.size());
    if (missing <= 0) return 0;
    GridDecodeOptions options;
    options.readEciAndFnc1 = true;
    // Each about 7 KB: kept off the stack and made once per call.
    auto data = std::make_unique<DecodedData>();
    auto record = std::make_unique<DecodeResult>();
    const auto trial = [&](const SampledGrid& grid, const Quad& quad) {
        data->Reset();
        if (DecodeGridTrial(grid, options, *data) != TrialStatus::kRead) return photo::GridVerdict::kUnread;
        *record = PhotoResult(grid, *data, quad);
        if (HeldAlready(results, *record)) return photo::GridVerdict::kAlreadyHeld;
        results.push_back(*record);
        return photo::GridVerdict::kRead;
    };
    std::vector<photo::HeldSymbol> held;
    for (const DecodeResult& r : results) {
        Quad outline;
        for (int k = 0; k < 4; ++k) outline.x[k] = r.exactCorners[k][0], outline.y[k] = r.exactCorners[k][1];
        held.push_back({outline, photo::OutlineModule(outline, qrcommon::SymbolSide(r.version))});
    }
    std::vector<PointF> narrowUnread;
    photo::RunPhotoStage({grey, width, height}, missing, photo::SymbolTrial(trial), &narrowUnread, std::move(held));
    if (static_cast<int>(results.size()) >= wanted) return 0;
    // A candidate inside a symbol held is one of its finders, or data
    // modules that look like one: it hints at no further symbol.
    return static_cast<int>(std::count_if(narrowUnread.begin(), narrowUnread.end(), [&](PointF p) {
        return std::none_of(results.begin(), results.end(),
                            [&](const DecodeResult& r) { return InsideOutline(r.corners, p.x, p.y); });
    }));
}

std::vector<uint8_t> GreyFromBinary(const uint8_t* plane, int width, int height) {
    std::vector<uint8_t> grey(static_cast<size_t>(width) * static_cast<size_t>(height));
    for (size_t i = 0; i < grey.size(); ++i) grey[i] = plane[i] ? 0 : 255;
    return grey;
}

}  // namespace lectavo
