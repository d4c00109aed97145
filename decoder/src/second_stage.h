// The photo reader run after the binary-plane passes of a decode call: it
// only runs at effect level 3 and only when those passes left the call short
// of symbols, and it only ever appends to their results.
#pragma once

#include <cstddef>
#include <cstdint>
#include <vector>

#include "decode_result.h"
#include "decoder_options.h"

namespace lectavo {

// How many symbols a call wants in all: the symbol count, at least one.
int WantedSymbols(const DecoderOptions& options);

// True when the photo reader runs after passes that produced `held` results.
bool SecondStageRuns(const DecoderOptions& options, size_t held);

// Appends to `results` the symbols the photo reader finds in `grey` (width x
// height, 0 black .. 255 white) until `wanted` are held. A symbol equal to
// one held (same data, version and level, overlapping outlines) is not added
// again. Corners are in the same pixels as `grey`. Returns how many finder
// candidates with modules too narrow for the photo reader it left unread
// outside every symbol held (0 once `wanted` are held).
int AppendPhotoResults(const uint8_t* grey, int width, int height, int wanted, std::vector<DecodeResult>& results);

// The grey picture of a binary plane: 0 becomes white, anything else black.
std::vector<uint8_t> GreyFromBinary(const uint8_t* plane, int width, int height);

}  // namespace lectavo
