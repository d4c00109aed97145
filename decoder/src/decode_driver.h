// The C interface's decode calls: the pure decode call run with the
// process-wide options, its results and position mapping kept in the calling
// thread's result store. Returns the number of symbols, 0, or a negative code.
#pragma once

#include <cstdint>

#include "decode_call.h"

namespace lectavo {

// `rect` null: the whole picture.
int DecodeFileIntoStore(const char* path, const PictureRect* rect);
int DecodeGreyIntoStore(const uint8_t* pixels, int width, int height);
int DecodeBinaryIntoStore(const uint8_t* pixels, int width, int height);

}  // namespace lectavo
