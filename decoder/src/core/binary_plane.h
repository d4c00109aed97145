// Binary planes: width x height bytes, rows top down, non-zero = dark. A
// BinaryPlane is a view of a plane the caller owns (a binariser's pass, a
// test); a BinaryPicture owns its plane (the photo stage's binariser).
#pragma once

#include <cstddef>
#include <cstdint>
#include <vector>

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

// One byte per pixel, 1 = dark.
struct BinaryPicture {
    int width = 0;
    int height = 0;
    std::vector<uint8_t> bits;
    bool inverted = false;  // made with light as dark
    bool Inside(int x, int y) const { return x >= 0 && y >= 0 && x < width && y < height; }
    // Outside the plane counts as light.
    uint8_t At(int x, int y) const { return Inside(x, y) ? bits[static_cast<size_t>(y) * width + x] : 0; }
    BinaryPlane View() const { return BinaryPlane{bits.data(), width, height}; }
};

}  // namespace lectavo
