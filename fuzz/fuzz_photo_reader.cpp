// The photo stage alone on small grey pictures (at most 256 x 256), without
// the binary-plane passes a decode call runs first, each grid it offers
// decoded. The input is laid out as for fuzz_photo_stage (whose seeds fit):
// bytes 0-3 width and height, byte 4 the symbol limit, then the pixels.
//
// fuzz-options: -max_len=65541
#include <cstddef>
#include <cstdint>
#include <memory>
#include <vector>

#include "array_input.h"
#include "decode/grid_decoding.h"
#include "photo/photo_stage.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    fuzzing::ArrayShape shape;
    if (!fuzzing::ReadArrayShape(data, size, 5, shape, 256)) return 0;
    const std::vector<uint8_t> pixels(data + 5, data + 5 + static_cast<size_t>(shape.width) * shape.height);
    const lectavo::GreyView view{pixels.data(), shape.width, shape.height};
    auto out = std::make_unique<lectavo::DecodedData>();
    int read = 0;
    const lectavo::photo::SymbolTrial trial = [&](const lectavo::SampledGrid& grid, const lectavo::Quad&) {
        out->Reset();
        if (lectavo::DecodeSampledGrid(grid, {static_cast<bool>(data[4] & 0x80)}, *out) != lectavo::DecodeStatus::kOk)
            return lectavo::photo::GridVerdict::kUnread;
        // Every other symbol read counts as one already held.
        return ++read % 2 ? lectavo::photo::GridVerdict::kRead : lectavo::photo::GridVerdict::kAlreadyHeld;
    };
    lectavo::photo::RunPhotoStage(view, data[4] & 0x7F, trial);
    return 0;
}
