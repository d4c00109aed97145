// Grey to binary with a local threshold, so uneven light and shadows do not
// swallow a symbol, and a reduced copy for pictures whose modules are large.
#pragma once

#include <vector>

#include "photo/grey_view.h"

namespace lectavo::photo {

// No grey value counts as glare.
inline constexpr int kNoGlare = 256;
// A picture whose light parts stay below this grey is dim.
inline constexpr int kDimLight = 128;

// The grey level from which a picture's pixels are glare. In a dim picture
// (nine tenths of it below kDimLight), pixels more than twice as bright as
// its light parts, and at least kDimLight, are a light source or its
// reflection; elsewhere kNoGlare, as where paper itself reaches white,
// the lightest pixels are paper. Looks at one pixel in 16.
int GlareLevel(const GreyView& grey);

// Each pixel is compared with the mean threshold of the 5 x 5 blocks of 8 x 8
// pixels around it. A block with too little contrast takes its neighbours'
// threshold (or counts as light ground), so flat regions give no noise.
// Pixels from `glare` up take no part in the thresholds: glare beside a dim
// symbol says nothing about its ink and paper, and would turn the paper
// around it dark. `inverted` reads light-on-dark symbols: light pixels
// become 1.
void BinarizeAdaptive(const GreyView& grey, bool inverted, BinaryPicture& out, int glare = kNoGlare);

// Box average of `factor` x `factor` pixels; the last partial row and column
// are dropped. `storage` receives the pixels the returned view points to.
GreyView Reduce(const GreyView& grey, int factor, std::vector<uint8_t>& storage);

// Twice the size, bilinear (pixel centres kept where they were).
GreyView Enlarge(const GreyView& grey, std::vector<uint8_t>& storage);

}  // namespace lectavo::photo
