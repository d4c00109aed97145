// Small pictures whose symbols have modules of about two pixels (a card held
// at arm's length by a low-resolution camera): the binary-plane passes run
// once more on a copy at twice the size, where the finder and edge
// measurements have room. Part of the second stage: it runs only after the
// photo reader left a call short of symbols with finder candidates of such
// narrow modules unread, and only appends.
#pragma once

#include <cstdint>
#include <vector>

#include "decode_result.h"
#include "decoder_options.h"

namespace lectavo {

// Pictures of at most this many pixels are tried enlarged.
inline constexpr int64_t kMaxEnlargedPassPixels = 640 * 1024;

// Appends to `results` the symbols the passes find on `grey` (width x height,
// 0 black .. 255 white) enlarged twice, corners mapped back to `grey`'s
// pixels, until `wanted` are held; a symbol already held is not added again.
void AppendEnlargedPassResults(const uint8_t* grey, int width, int height, const DecoderOptions& options, int wanted,
                               std::vector<DecodeResult>& results);

}  // namespace lectavo
