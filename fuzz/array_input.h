// The picture size of an array target's input: bytes 0-3 give width - 1 and
// height - 1 as 16-bit little-endian values (each taken modulo `maxSide`, 1024
// unless a target asks for smaller pictures); the
// pixels start after `headerBytes` bytes and the height shrinks to the rows
// present.
#pragma once

#include <cstddef>
#include <cstdint>

namespace fuzzing {

// The longest side of the pictures the photo targets read (the whole decode
// call, the photo stage alone). A symbol these stages find but cannot read
// costs them their whole budget of attempts, and each attempt costs in
// proportion to the symbol's pixels: at most 96 x 96 pixels keeps that to
// tens of milliseconds under the sanitizers, while small symbols (versions
// 1-7 at two or three pixels a module) still fit.
inline constexpr int kPhotoMaxSide = 96;

struct ArrayShape {
    int width = 0;
    int height = 0;
};

// False when the input holds no whole row of pixels.
inline bool ReadArrayShape(const uint8_t* data, size_t size, size_t headerBytes, ArrayShape& shape,
                           int maxSide = 1024) {
    if (size <= headerBytes || headerBytes < 4) return false;
    shape.width = 1 + (data[0] | (data[1] << 8)) % maxSide;
    shape.height = 1 + (data[2] | (data[3] << 8)) % maxSide;
    const size_t pixels = size - headerBytes;
    if (static_cast<size_t>(shape.width) * static_cast<size_t>(shape.height) > pixels)
        shape.height = static_cast<int>(pixels / static_cast<size_t>(shape.width));
    return shape.height > 0;
}

}  // namespace fuzzing
