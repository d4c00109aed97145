// One decode call as a pure function: a picture (file, grey array or binary
// array) and an options value in, the results and the position mapping out.
// Nothing process-wide is read or written; the workspace carries only what
// one call can reuse from the previous one on the same thread, so concurrent
// calls with their own workspaces never interfere.
#pragma once

#include <cstdint>
#include <memory>
#include <vector>

#include "decode_result.h"
#include "decoder_options.h"
#include "input/grey_picture.h"
#include "position_mapping.h"

namespace lectavo {

struct SymbolReading;

// The symbol-reading working space a caller keeps between calls, so that a
// call does not allocate and clear it again. Not shared between threads.
class DecodeWorkspace {
public:
    DecodeWorkspace();
    ~DecodeWorkspace();
    DecodeWorkspace(DecodeWorkspace&&) noexcept;
    DecodeWorkspace& operator=(DecodeWorkspace&&) noexcept;

    // The kept working space (its attempt bound reset), or null.
    std::unique_ptr<SymbolReading> Take();
    void Keep(std::unique_ptr<SymbolReading> reading);

private:
    std::unique_ptr<SymbolReading> reading_;
};

struct CallOutcome {
    int code = 0;  // the number of symbols, 0, or a negative return code
    std::vector<DecodeResult> results;
    PositionMapping mapping;  // decoded-image coordinates to picture pixels
};

// The rectangle spanned by two corners: the smaller coordinates become left
// and top, the larger (exclusive) right and bottom.
PictureRect RectFromCorners(int32_t x1, int32_t y1, int32_t x2, int32_t y2);

// `rect` null: the whole picture. Running out of memory throws
// std::bad_alloc; the C interface's barrier turns it into kOutOfMemory.
CallOutcome DecodeFileCall(const char* path, const PictureRect* rect, const DecoderOptions& options,
                           DecodeWorkspace& workspace);
// A picture as a file reader made it (its threshold and 1-bit origin kept);
// the mapping carries its resampling scales.
CallOutcome DecodePictureCall(const GrayPicture& picture, const DecoderOptions& options, DecodeWorkspace& workspace);
CallOutcome DecodeGreyCall(const uint8_t* pixels, int width, int height, const DecoderOptions& options,
                           DecodeWorkspace& workspace);
CallOutcome DecodeBinaryCall(const uint8_t* pixels, int width, int height, const DecoderOptions& options,
                             DecodeWorkspace& workspace);

}  // namespace lectavo
