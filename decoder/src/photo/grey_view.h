// Plain values shared by the photo reader's stages: a grey picture, points in
// picture pixels and a binary plane.
#pragma once

#include <cstddef>
#include <cstdint>
#include <vector>

namespace lectavo::photo {

// 0 black .. 255 white, rows top to bottom, no padding.
struct GreyView {
    const uint8_t* pixels = nullptr;
    int width = 0;
    int height = 0;
};

struct Point {
    float x = 0;
    float y = 0;
};

// One byte per pixel, 1 = dark.
struct BinaryPlane {
    int width = 0;
    int height = 0;
    std::vector<uint8_t> bits;
    bool inverted = false;  // made with light as dark
    bool Inside(int x, int y) const { return x >= 0 && y >= 0 && x < width && y < height; }
    // Outside the plane counts as light.
    uint8_t At(int x, int y) const { return Inside(x, y) ? bits[static_cast<size_t>(y) * width + x] : 0; }
};

}  // namespace lectavo::photo
