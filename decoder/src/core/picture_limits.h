// The sizes every stage of the decoder agrees on: what a picture may be, and
// the least worth searching.
#pragma once

#include <cstdint>

namespace lectavo {

// Pictures larger than this are refused with kOutOfMemory, so that no size
// computation (three planes of width x height bytes) can overflow.
inline constexpr int kMaxPictureSide = 65535;
#ifdef LECTAVO_MAX_PIXELS
inline constexpr int64_t kMaxPicturePixels = LECTAVO_MAX_PIXELS;
#else
inline constexpr int64_t kMaxPicturePixels = int64_t{1} << 28;
#endif

// The photo stage keeps a plane and reduced copies beside the picture; it
// passes over pictures above 2^27 pixels (16 megapixels and more fit),
// where the binary passes alone already take their most memory.
inline constexpr int64_t kMaxPhotoStagePixels =
    kMaxPicturePixels < (int64_t{1} << 27) ? kMaxPicturePixels : int64_t{1} << 27;

// Smallest width and height worth searching: a version 1 symbol at one
// pixel a module.
inline constexpr int kMinPictureSide = 21;

inline bool WithinSizeLimit(int64_t width, int64_t height) {
    return width <= kMaxPictureSide && height <= kMaxPictureSide && width * height <= kMaxPicturePixels;
}

}  // namespace lectavo
