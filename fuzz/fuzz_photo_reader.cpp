// The photo stage alone on small grey pictures (at most 96 x 96), without
// the binary-plane passes a decode call runs first, each grid it offers
// decoded. The input is laid out as for fuzz_photo_stage (whose seeds fit):
// bytes 0-3 width and height, byte 4 the settings, then the pixels.
//
// Settings: bits 0-1 the symbol limit less one; bits 2-4 how many grids
// (1, 2, 4 ... 64, or with 7 all) are decoded before every further grid is
// taken as read. A symbol the stage cannot read costs it its whole budget of
// triples, samplings and edge measurements, tens of milliseconds under the
// sanitizers even on a small picture; the cap ends most such runs after a few grids,
// while the sampling, the refinement and the decoding of each grid still
// run. Bit 7 is the grid decoding's reading setting.
//
// The fuzzer gives inputs that run faster more turns
// (-entropic_scale_per_exec_time).
//
// fuzz-options: -max_len=9221 -entropic_scale_per_exec_time=1
#include <cstddef>
#include <cstdint>
#include <memory>
#include <vector>

#include "array_input.h"
#include "decode/grid_decoding.h"
#include "photo/photo_stage.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    fuzzing::ArrayShape shape;
    if (!fuzzing::ReadArrayShape(data, size, 5, shape, fuzzing::kPhotoMaxSide)) return 0;
    const std::vector<uint8_t> pixels(data + 5, data + 5 + static_cast<size_t>(shape.width) * shape.height);
    const lectavo::GreyView view{pixels.data(), shape.width, shape.height};
    const uint8_t settings = data[4];
    const int limit = 1 + (settings & 3);
    const int cap = (settings >> 2 & 7) == 7 ? -1 : 1 << (settings >> 2 & 7);
    auto out = std::make_unique<lectavo::DecodedData>();
    int read = 0, offered = 0;
    const lectavo::photo::SymbolTrial trial = [&](const lectavo::SampledGrid& grid, const lectavo::Quad&) {
        if (cap >= 0 && offered++ >= cap) return lectavo::photo::GridVerdict::kRead;
        out->Reset();
        if (lectavo::DecodeSampledGrid(grid, {static_cast<bool>(settings & 0x80)}, *out) != lectavo::DecodeStatus::kOk)
            return lectavo::photo::GridVerdict::kUnread;
        // Every other symbol read counts as one already held.
        return ++read % 2 ? lectavo::photo::GridVerdict::kRead : lectavo::photo::GridVerdict::kAlreadyHeld;
    };
    lectavo::photo::RunPhotoStage(view, limit, trial);
    return 0;
}
