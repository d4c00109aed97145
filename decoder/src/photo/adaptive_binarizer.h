// Grey to binary with a local threshold, so uneven light and shadows do not
// swallow a symbol, and a reduced copy for pictures whose modules are large.
#pragma once

#include <vector>

#include "photo/grey_view.h"

namespace lectavo::photo {

// Each pixel is compared with the mean threshold of the 5 x 5 blocks of 8 x 8
// pixels around it. A block with too little contrast takes its neighbours'
// threshold (or counts as light ground), so flat regions give no noise.
// `inverted` reads light-on-dark symbols: light pixels become 1.
void BinarizeAdaptive(const GreyView& grey, bool inverted, BinaryPlane& out);

// Box average of `factor` x `factor` pixels; the last partial row and column
// are dropped. `storage` receives the pixels the returned view points to.
GreyView Reduce(const GreyView& grey, int factor, std::vector<uint8_t>& storage);

// Twice the size, bilinear (pixel centres kept where they were).
GreyView Enlarge(const GreyView& grey, std::vector<uint8_t>& storage);

}  // namespace lectavo::photo
