// Photo-like test pictures: symbols from our encoder drawn under a chosen
// perspective, with light-on-dark, mirroring, uneven light, blur, and the
// liberties of designed symbols (colours, round modules, a logo) and screens.
#pragma once

#include <algorithm>
#include <cmath>
#include <memory>
#include <string>
#include <vector>

#include "encode_symbol.h"
#include "own_symbols.h"
#include "symbol_drawing.h"
#include "photo/perspective_transform.h"
#include "settings.h"

namespace warped {

using Symbol = testpics::Matrix;

inline Symbol Encode(const std::string& text, int version, int level = 1) {
    auto settings = std::make_unique<mosaire::EncoderSettings>();
    mosaire::SetMessage(*settings, text.c_str());
    mosaire::Configure(*settings, version, level, 0);
    const mosaire::EncodedSymbol encoded = mosaire::EncodeSymbol(*settings);
    const mosaire::ModuleMatrix* matrix = encoded.matrix.get();
    return matrix ? testpics::FromModuleMatrix(*matrix) : Symbol{};
}

struct Grey {
    int width = 0, height = 0;
    std::vector<uint8_t> pixels;
};

// Where the symbol's outer corners (top-left, top-right, bottom-right,
// bottom-left as it reads) land in the picture.
struct Placement {
    float x[4], y[4];
};

// A square of `size` px centred at (cx, cy), turned by `degrees`, its far
// side shrunk by `keystone` (0 = none) to imitate a camera looking down at it.
inline Placement Place(float cx, float cy, float size, float degrees, float keystone = 0) {
    const float h = size / 2, k = h * (1 - keystone);
    const float ux[4] = {-k, k, h, -h}, uy[4] = {-h, -h, h, h};
    const float a = degrees * 3.14159265f / 180, c = std::cos(a), s = std::sin(a);
    Placement p;
    for (int i = 0; i < 4; ++i) p.x[i] = cx + c * ux[i] - s * uy[i], p.y[i] = cy + s * ux[i] + c * uy[i];
    return p;
}

struct Look {
    bool inverted = false;          // light modules on a dark ground
    bool mirrored = false;          // drawn transposed, as seen through the back of a film
    float gradient = 0;             // brightness falls by this share from left to right
    int blurRadius = 0;             // box blur, applied twice
    float bend = 0;                 // a sheet curved across: rows bow down by up to this many pixels
    uint8_t ink = 30, paper = 225;  // grey of dark and light modules (colours as a camera sees them)
    float dots = 0;                 // round modules of this radius (share of a module); finders stay square
    float logo = 0;                 // a light square of this share of the side over the middle, a dark mark in it
    float screenPitch = 0;          // a screen's dark pixel grid: lines this many picture pixels apart
};

// The finder patterns with their separators: the modules a designer keeps.
inline bool InFinder(int row, int column, int side) {
    return (row < 8 || row >= side - 8) && (column < 8 || column >= side - 8) &&
           !(row >= side - 8 && column >= side - 8);
}

// Each pixel becomes the mean of the (2r+1)^2 square around it, clipped to
// the picture: row sums first, then sums of those down each column, so large
// pictures and radii stay cheap.
inline void BoxBlur(Grey& picture, int r) {
    const int w = picture.width, h = picture.height;
    std::vector<int> rows(picture.pixels.size()), counts(static_cast<size_t>(w));
    for (int y = 0; y < h; ++y) {
        const uint8_t* in = &picture.pixels[static_cast<size_t>(y) * w];
        int sum = 0;
        for (int x = 0; x < std::min(r, w); ++x) sum += in[x];
        for (int x = 0; x < w; ++x) {
            if (x + r < w) sum += in[x + r];
            if (x - r - 1 >= 0) sum -= in[x - r - 1];
            rows[static_cast<size_t>(y) * w + x] = sum;
        }
    }
    for (int x = 0; x < w; ++x) counts[x] = std::min(w - 1, x + r) - std::max(0, x - r) + 1;
    for (int x = 0; x < w; ++x) {
        int sum = 0;
        for (int y = 0; y < std::min(r, h); ++y) sum += rows[static_cast<size_t>(y) * w + x];
        for (int y = 0; y < h; ++y) {
            if (y + r < h) sum += rows[static_cast<size_t>(y + r) * w + x];
            if (y - r - 1 >= 0) sum -= rows[static_cast<size_t>(y - r - 1) * w + x];
            const int count = counts[x] * (std::min(h - 1, y + r) - std::max(0, y - r) + 1);
            picture.pixels[static_cast<size_t>(y) * w + x] = static_cast<uint8_t>(sum / count);
        }
    }
}

// Draws `symbol` (with a 4-module quiet zone) into `picture`, 4 x 4 samples
// per pixel.
inline void Draw(Grey& picture, const Symbol& symbol, const Placement& at, const Look& look = {}) {
    const float q = 4, n = static_cast<float>(symbol.side);
    lectavo::PointF corners[4], modules[4] = {{0, 0}, {n, 0}, {n, n}, {0, n}};
    for (int i = 0; i < 4; ++i) corners[i] = {at.x[i], at.y[i]};
    lectavo::photo::Homography toModules;
    if (!toModules.Fit(corners, modules)) return;
    const float minX = *std::min_element(at.x, at.x + 4), maxX = *std::max_element(at.x, at.x + 4);
    const float minY = *std::min_element(at.y, at.y + 4), maxY = *std::max_element(at.y, at.y + 4);
    const float margin = (maxX - minX) * q / n + 2;
    const testpics::Box box{static_cast<int>(minX - margin), static_cast<int>(minY - margin),
                            static_cast<int>(maxX + margin), static_cast<int>(maxY + margin)};
    // A sheet curved across bows its rows down; a mirrored symbol is drawn
    // transposed.
    const auto sampleToModules = [&](float px, float py) {
        const float bow = look.bend * std::sin(3.14159265f * (px - minX) / (maxX - minX));
        auto m = toModules.Map(px, py - bow);
        // A point that a designed symbol leaves light moves into the quiet
        // zone; the logo's mark onto a finder's dark centre.
        constexpr decltype(m) kLight{-1, -1}, kDark{3.5f, 3.5f};
        const float fromMiddleX = std::fabs(m.x - n / 2), fromMiddleY = std::fabs(m.y - n / 2);
        if (std::max(fromMiddleX, fromMiddleY) < look.logo * n / 2)
            m = std::max(fromMiddleX, fromMiddleY) < look.logo * n / 4 ? kDark : kLight;
        else if (look.dots > 0 && m.x >= 0 && m.y >= 0 && m.x < n && m.y < n &&
                 !InFinder(static_cast<int>(m.y), static_cast<int>(m.x), symbol.side)) {
            const float dx = m.x - std::floor(m.x) - 0.5f, dy = m.y - std::floor(m.y) - 0.5f;
            if (dx * dx + dy * dy > look.dots * look.dots) m = kLight;
        }
        return look.mirrored ? decltype(m){m.y, m.x} : m;
    };
    testpics::DrawModules(
        symbol, picture.width, picture.height, box, 4, q, sampleToModules, [&](size_t index, int dark, int inside) {
            if (inside == 0) return;
            if (look.inverted) dark = inside - dark;
            uint8_t& p = picture.pixels[index];
            p = static_cast<uint8_t>((p * (16 - inside) + look.ink * dark + look.paper * (inside - dark)) / 16);
        });
    if (look.screenPitch > 0)
        for (int y = 0; y < picture.height; ++y)
            for (int x = 0; x < picture.width; ++x) {
                const bool line = std::fmod(static_cast<float>(x), look.screenPitch) < 1 ||
                                  std::fmod(static_cast<float>(y), look.screenPitch) < 1;
                if (line) picture.pixels[static_cast<size_t>(y) * picture.width + x] /= 2;
            }
    if (look.gradient > 0)
        for (int y = 0; y < picture.height; ++y)
            for (int x = 0; x < picture.width; ++x) {
                uint8_t& p = picture.pixels[static_cast<size_t>(y) * picture.width + x];
                p = static_cast<uint8_t>(p * (1 - look.gradient * x / picture.width));
            }
    for (int pass = 0; pass < 2 && look.blurRadius > 0; ++pass) BoxBlur(picture, look.blurRadius);
}

inline Grey Blank(int width, int height, uint8_t value = 200) {
    return {width, height, std::vector<uint8_t>(static_cast<size_t>(width) * height, value)};
}

}  // namespace warped
