// One decode call from start to end: empty the thread's results, set the
// position mapping, obtain a grey image, search its binary planes and keep
// what was found. Returns the number of symbols, 0, or a negative code; an
// allocation failure anywhere below becomes kOutOfMemory here.
#pragma once

#include <cstdint>

#include "input/grey_picture.h"

namespace lectavo {

// The rectangle spanned by two corners: the smaller coordinates become left
// and top, the larger (exclusive) right and bottom.
PictureRect RectFromCorners(int32_t x1, int32_t y1, int32_t x2, int32_t y2);

// `rect` null: the whole picture.
int DecodeFile(const char* path, const PictureRect* rect);
int DecodeGrey(const uint8_t* pixels, int width, int height);
int DecodeBinary(const uint8_t* pixels, int width, int height);

}  // namespace lectavo
