// A picture file read into a grey image, and the helpers every reader
// shares: size limits, grey conversion, the threshold range, clipping to a
// rectangle.
#pragma once

#include <cstddef>
#include <cstdint>
#include <vector>

#include "core/picture_limits.h"
#include "result_codes.h"

namespace lectavo {

// Right and bottom are exclusive.
struct PictureRect {
    int32_t left = 0, top = 0, right = 0, bottom = 0;
};

struct GrayPicture {
    std::vector<uint8_t> pixels;  // width x height, rows top down, 0 = black
    int width = 0, height = 0;
    uint8_t threshold = 0;  // (darkest + lightest) / 2
    bool bilevel = false;   // the source had 1 bit per pixel
    float scaleX = 1.0f, scaleY = 1.0f;

    bool HasImage() const { return !pixels.empty(); }
    // Sizes the pixel buffer (callers keep w x h within the size limit);
    // throws std::bad_alloc when memory is short.
    void Allocate(int w, int h);
};

inline uint8_t GreyOf(uint32_t red, uint32_t green, uint32_t blue) {
    return static_cast<uint8_t>((77 * red + 150 * green + 29 * blue) >> 8);
}

// Darkest and lightest grey seen, and the threshold halfway between.
struct GreyRange {
    uint8_t darkest = 255, lightest = 0;
    void Add(uint8_t grey) {
        if (grey < darkest) darkest = grey;
        if (grey > lightest) lightest = grey;
    }
    // Without branches, so that the loop vectorises.
    void AddAll(const uint8_t* grey, size_t count) {
        uint8_t lo = darkest, hi = lightest;
        for (size_t i = 0; i < count; ++i) {
            lo = grey[i] < lo ? grey[i] : lo;
            hi = grey[i] > hi ? grey[i] : hi;
        }
        darkest = lo;
        lightest = hi;
    }
    uint8_t Threshold() const { return static_cast<uint8_t>((darkest + lightest) / 2); }
};

// The part of a width x height picture to read: the whole picture, or the
// rectangle with negative coordinates raised to 0 and right and bottom
// lowered to the picture's size. False when it lies outside the picture or
// is smaller than the minimum in either direction.
bool ClipToPicture(int width, int height, const PictureRect* rect, PictureRect& window);

}  // namespace lectavo
