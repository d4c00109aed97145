#include "second_stage.h"

#include <algorithm>
#include <cmath>
#include <cstring>
#include <memory>

#include "decode/grid_decoding.h"
#include "symbol_trial.h"
#include "photo/photo_stage.h"

namespace lectavo {

namespace {

struct Centre {
    double x = 0, y = 0, side = 0;  // side: mean edge length
};

Centre CentreOf(const int32_t corners[4][2]) {
    Centre c;
    for (int k = 0; k < 4; ++k) {
        c.x += corners[k][0] / 4.0;
        c.y += corners[k][1] / 4.0;
        const int next = (k + 1) % 4;
        c.side += std::hypot(double(corners[next][0]) - corners[k][0], double(corners[next][1]) - corners[k][1]) / 4.0;
    }
    return c;
}

bool SameContent(const DecodeResult& a, const DecodeResult& b) {
    return a.version == b.version && a.level == b.level && a.dataLength == b.dataLength &&
           std::memcmp(a.data, b.data, static_cast<size_t>(a.dataLength)) == 0;
}

// The same symbol found again: equal content and centres closer than half
// the smaller symbol's side. Two identical symbols printed side by side do
// not overlap, so their centres lie at least a full side apart and both are
// kept. Corner order is not compared: the passes and the photo reader may
// start the corners at different turns of a mirrored symbol.
bool AlreadyHeld(const std::vector<DecodeResult>& results, const DecodeResult& r) {
    const Centre c = CentreOf(r.corners);
    for (const DecodeResult& held : results) {
        if (!SameContent(held, r)) continue;
        const Centre h = CentreOf(held.corners);
        if (std::hypot(h.x - c.x, h.y - c.y) < std::min(h.side, c.side) / 2) return true;
    }
    return false;
}

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

void AppendPhotoResults(const uint8_t* grey, int width, int height, int wanted, std::vector<DecodeResult>& results) {
    const int missing = wanted - static_cast<int>(results.size());
    if (missing <= 0) return;
    GridDecodeOptions options;
    options.readEciAndFnc1 = true;
    // Each about 7 KB: kept off the stack and made once per call.
    auto data = std::make_unique<DecodedData>();
    auto record = std::make_unique<DecodeResult>();
    const auto trial = [&](const SampledGrid& grid, const Quad& quad) {
        data->Reset();
        if (DecodeGridTrial(grid, options, *data) != TrialStatus::kRead) return photo::GridVerdict::kUnread;
        *record = PhotoResult(grid, *data, quad);
        if (AlreadyHeld(results, *record)) return photo::GridVerdict::kAlreadyHeld;
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
