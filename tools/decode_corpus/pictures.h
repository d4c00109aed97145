// Grey pictures made in memory for the decoder corpus: a module grid drawn at
// a module size and quarter turn, and the distortions a camera or printer
// adds (scale, shear, blur, noise, low contrast), plus a BMP file writer.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "../corpus_hash.h"

namespace corpus {

// A module grid in the upright orientation, row-major, 1 = dark.
struct Grid {
    int side = 0;
    std::vector<uint8_t> dark;
    bool At(int row, int col) const { return dark[static_cast<size_t>(row) * side + col] != 0; }
};

struct Grey {
    int width = 0, height = 0;
    std::vector<uint8_t> pixels;  // 0 = black .. 255 = white, rows top down
    uint8_t& At(int x, int y) { return pixels[static_cast<size_t>(y) * width + x]; }
    uint8_t At(int x, int y) const { return pixels[static_cast<size_t>(y) * width + x]; }
};

// The grid drawn with `modulePx` pixels a module and `quiet` light modules
// around it, turned `turns` quarter turns clockwise.
Grey Draw(const Grid& grid, int modulePx, int quiet, int turns, uint8_t dark = 0, uint8_t light = 255);

// Copies `src` into a light canvas at (x, y), clipped to the canvas.
void Paste(Grey& canvas, const Grey& src, int x, int y);

// Nearest-neighbour affine resampling: output pixel (x, y) shows source pixel
// (ax * x + bx * y + cx, ay * x + by * y + cy); outside the source is light.
Grey Warp(const Grey& src, int width, int height, double ax, double bx, double cx, double ay, double by, double cy);

// The picture scaled by sx across and sy down, then sheared by `shear` (x
// moves by shear * y).
Grey ScaleShear(const Grey& src, double sx, double sy, double shear);

// Mean over a (2r+1) x (2r+1) box, edges clamped.
Grey BoxBlur(const Grey& src, int r);

// Adds uniform noise in [-amplitude, amplitude] to every pixel.
Grey Noise(const Grey& src, int amplitude, Lcg& random);

// Maps black to `dark` and white to `light` linearly.
Grey Contrast(const Grey& src, uint8_t dark, uint8_t light);

// Quarter turns clockwise of any grey picture.
Grey Turn(const Grey& src, int turns);

// Non-zero where grey < 128.
std::vector<uint8_t> Binarize(const Grey& src);

// An uncompressed bottom-up BMP file: 8-bit grey palette, or 1-bit
// black/white when `oneBit`; resolution in pixels per metre.
std::vector<uint8_t> GreyBmp(const Grey& src, bool oneBit = false, uint32_t ppmX = 3780, uint32_t ppmY = 3780);

bool WriteFile(const std::string& path, const std::vector<uint8_t>& bytes);

}  // namespace corpus
