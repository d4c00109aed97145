// The picture size of an array target's input: bytes 0-3 give width - 1 and
// height - 1 as 16-bit little-endian values (each taken modulo `maxSide`, 1024
// unless a target asks for smaller pictures); the
// pixels start after `headerBytes` bytes and the height shrinks to the rows
// present.
#pragma once

#include <cstddef>
#include <cstdint>

namespace fuzzing {

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
