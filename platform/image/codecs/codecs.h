// Picture decoders on the codec libraries (libpng, giflib, libtiff, libwebp,
// libjpeg) and our own for BMP and PNM, each reading a whole file held in
// memory into 32-bit ARGB, with what Qt's image reader reported for the
// same file: size, 1-bit indexed or not, resolution in dots per metre.
//
// Every decoder refuses, before it allocates pixels, a picture whose
// announced size is beyond the caller's limits (kTooLarge) or beyond what
// its file could hold at the format's greatest compression (kUnreadable);
// the bound of each format is written beside its decoder.
#pragma once

#include <cstddef>
#include <cstdint>
#include <vector>

#include "image/image_file.h"

namespace platform::codecs {

// A file that states no resolution reads as 3937 dots per metre (100 dots
// per inch, rounded), as Qt's images do.
inline constexpr int kDefaultDotsPerMetre = 3937;

struct Bytes {
    const uint8_t* data = nullptr;
    size_t size = 0;
};

struct Limits {
    int maxSide = 0;
    int64_t maxPixels = 0;
};

struct Picture {
    int width = 0, height = 0;
    bool mono = false;  // 1-bit indexed pixels
    int dotsPerMetreX = kDefaultDotsPerMetre, dotsPerMetreY = kDefaultDotsPerMetre;
    std::vector<uint32_t> pixels;  // width x height ARGB, rows top down
};

// The largest side a decoder takes, whatever the caller's limit: within it
// no size computation below overflows 64 bits.
inline constexpr int64_t kLargestSide = 65535;

// kOk, or kUnreadable for a width or height of 0 or less, kTooLarge for a
// side beyond the limits, kUnreadable when `fileCanHoldIt()` says the file
// could not hold the picture, kTooLarge for more pixels than the limit.
template <class FileCanHoldIt>
ImageStatus CheckAnnounced(int64_t width, int64_t height, const Limits& limits, FileCanHoldIt fileCanHoldIt) {
    if (width <= 0 || height <= 0) return ImageStatus::kUnreadable;
    const int64_t side = limits.maxSide < kLargestSide ? limits.maxSide : kLargestSide;
    if (width > side || height > side) return ImageStatus::kTooLarge;
    if (!fileCanHoldIt()) return ImageStatus::kUnreadable;
    if (width * height > limits.maxPixels) return ImageStatus::kTooLarge;
    return ImageStatus::kOk;
}

// Sizes the pixels (kOutOfMemory when that fails).
ImageStatus Allocate(Picture& picture, int width, int height);

// Setting a resolution of 0 keeps the default, as Qt does.
inline void SetDotsPerMetre(Picture& picture, int64_t x, int64_t y) {
    if (x != 0) picture.dotsPerMetreX = static_cast<int>(x);
    if (y != 0) picture.dotsPerMetreY = static_cast<int>(y);
}

enum class Format { kUnknown, kPng, kGif, kTiff, kWebp, kJpeg, kBmp, kPnm };

// The format by the file's first bytes.
Format Sniff(Bytes file);

ImageStatus DecodePng(Bytes file, const Limits& limits, Picture& out);
ImageStatus DecodeGif(Bytes file, const Limits& limits, Picture& out);
ImageStatus DecodeTiff(Bytes file, const Limits& limits, Picture& out);
ImageStatus DecodeWebp(Bytes file, const Limits& limits, Picture& out);
ImageStatus DecodeJpeg(Bytes file, const Limits& limits, Picture& out);
ImageStatus DecodeBmp(Bytes file, const Limits& limits, Picture& out);
ImageStatus DecodePnm(Bytes file, const Limits& limits, Picture& out);

// Sniffs and calls the decoder of the format; kUnreadable for an unknown one.
ImageStatus Decode(Bytes file, const Limits& limits, Picture& out);

}  // namespace platform::codecs
