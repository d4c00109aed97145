// When two decoded results are one symbol found twice (on two binary planes,
// at two resolutions, or by the passes and then the photo reader): their
// outlines overlap and they carry the same data, version and level. Two
// identical symbols printed side by side do not overlap, so both are kept,
// at any picture size.
#pragma once

#include <vector>

#include "decode_result.h"

namespace lectavo {

// True when the quadrilaterals (corners in order around the outline, either
// direction) share interior: an edge of one crosses an edge of the other, or
// one lies inside the other. Outlines that only touch do not overlap.
bool OutlinesOverlap(const int32_t a[4][2], const int32_t b[4][2]);

// True when (x, y) lies inside the quadrilateral (a point on the outline
// may go either way).
bool InsideOutline(const int32_t corners[4][2], double x, double y);

bool SameSymbol(const DecodeResult& a, const DecodeResult& b);

// True when `r` is the same symbol as one of `results`.
bool HeldAlready(const std::vector<DecodeResult>& results, const DecodeResult& r);

}  // namespace lectavo
