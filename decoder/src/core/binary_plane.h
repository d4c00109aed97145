// A view of one binary plane: width x height bytes, rows top down, non-zero
// = dark. The plane belongs to the caller (a binariser's pass, a test).
#pragma once

#include <cstddef>
#include <cstdint>

namespace lectavo {

struct BinaryPlane {
    const uint8_t* pixels = nullptr;
    int width = 0, height = 0;

    // The byte inside the plane, 0 (light) outside.
    uint8_t Pixel(int x, int y) const {
        if (x < 0 || y < 0 || x >= width || y >= height) return 0;
        return pixels[static_cast<size_t>(y) * static_cast<size_t>(width) + static_cast<size_t>(x)];
    }
    const uint8_t* Row(int y) const { return pixels + static_cast<size_t>(y) * static_cast<size_t>(width); }
};

}  // namespace lectavo
