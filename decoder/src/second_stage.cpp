#include "second_stage.h"

#include <algorithm>
#include <cmath>
#include <cstring>
#include <memory>

#include "decode/grid_decoding.h"
#include "photo/photo_stage.h"
#include "same_symbol.h"

namespace lectavo {

namespace {

int32_t RoundedPixel(float v) { return static_cast<int32_t>(std::lround(std::clamp(v, -1e9f, 1e9f))); }

void FillResult(const SampledGrid& grid, const DecodedData& data, const photo::Quad& quad, DecodeResult& r) {
    r = DecodeResult{};
    r.version = grid.version;
    r.level = grid.level;
    r.mask = grid.mask;
    r.dataLength = data.length;
    std::memcpy(r.data, data.bytes, static_cast<size_t>(data.length) + 1);
    r.sequencePosition = data.sequencePosition;
    r.sequenceTotal = data.sequenceTotal;
    r.sequenceParity = data.sequenceParity;
    for (int k = 0; k < 4; ++k) {
        r.corners[k][0] = RoundedPixel(quad.x[k]);
        r.corners[k][1] = RoundedPixel(quad.y[k]);
    }
}

}  // namespace

int WantedSymbols(const DecoderOptions& options) { return std::max(1, static_cast<int>(options.symbolCount)); }

bool SecondStageRuns(const DecoderOptions& options, size_t held) {
    return options.effectLevel == 3 && held < static_cast<size_t>(WantedSymbols(options));
}

void AppendPhotoResults(const uint8_t* grey, int width, int height, int wanted, std::vector<DecodeResult>& results) {
    const int missing = wanted - static_cast<int>(results.size());
    if (missing <= 0) return;
    GridDecodeOptions options;
    options.readEciAndFnc1 = true;
    // Each about 7 KB: kept off the stack and made once per call.
    auto data = std::make_unique<DecodedData>();
    auto record = std::make_unique<DecodeResult>();
    const auto trial = [&](const SampledGrid& grid, const photo::Quad& quad) {
        data->Reset();
        if (DecodeSampledGrid(grid, options, *data) != DecodeStatus::kOk) return photo::GridVerdict::kUnread;
        FillResult(grid, *data, quad, *record);
        if (HeldAlready(results, *record)) return photo::GridVerdict::kAlreadyHeld;
        results.push_back(*record);
        return photo::GridVerdict::kRead;
    };
    photo::RunPhotoStage({grey, width, height}, missing, photo::SymbolTrial(trial));
}

std::vector<uint8_t> GreyFromBinary(const uint8_t* plane, int width, int height) {
    std::vector<uint8_t> grey(static_cast<size_t>(width) * static_cast<size_t>(height));
    for (size_t i = 0; i < grey.size(); ++i) grey[i] = plane[i] ? 0 : 255;
    return grey;
}

}  // namespace lectavo
