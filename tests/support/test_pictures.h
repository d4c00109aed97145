// Test pictures for the decoder: symbols from an independent encoder
// (libqrencode) rendered into grey or binary pixel arrays at a chosen module
// size, quiet zone and quarter turn.
#pragma once

#include <cstdint>
#include <cstring>
#include <string>
#include <vector>

#include <qrencode.h>

#include "symbol_drawing.h"

namespace testpics {

struct Picture {
    int width = 0, height = 0;
    std::vector<uint8_t> pixels;  // one byte per pixel, rows top to bottom
};

// Mask number from the format information beside the top-left finder (row 8
// columns 0-5, 7, 8, then column 8 rows 7, 5-0, most significant first).
// `dark(x, y)` tells whether the module of column x, row y is dark.
template <class Dark>
int FormatMask(Dark dark) {
    uint32_t format = 0;
    auto take = [&](int x, int y) { format = (format << 1) | (dark(x, y) ? 1u : 0u); };
    for (int x = 0; x <= 5; ++x) take(x, 8);
    take(7, 8);
    take(8, 8);
    take(8, 7);
    for (int y = 5; y >= 0; --y) take(8, y);
    return static_cast<int>(((format ^ 0x5412) >> 10) & 7);
}

inline int FormatMask(const Matrix& m) {
    return FormatMask([&](int x, int y) { return m.At(y, x); });
}

// Byte-mode symbol of `text` at the smallest version >= `version` for level
// 0 = L, 1 = M, 2 = Q, 3 = H.
inline Matrix FromQrencode(const std::string& text, int version, int level, bool eightBit = true) {
    static const QRecLevel levels[4] = {QR_ECLEVEL_L, QR_ECLEVEL_M, QR_ECLEVEL_Q, QR_ECLEVEL_H};
    QRcode* code = eightBit
                       ? QRcode_encodeData(static_cast<int>(text.size()),
                                           reinterpret_cast<const unsigned char*>(text.data()), version, levels[level])
                       : QRcode_encodeString(text.c_str(), version, levels[level], QR_MODE_8, 1);
    Matrix m;
    if (!code) return m;
    m.side = code->width;
    m.dark.resize(static_cast<size_t>(m.side) * m.side);
    for (int i = 0; i < m.side * m.side; ++i) m.dark[i] = code->data[i] & 1;
    QRcode_free(code);
    return m;
}

// Renders the matrix with `modulePx` pixels per module and `quiet` modules of
// light margin, turned by `quarterTurns` quarter turns clockwise.
// Grey values: `dark` for dark modules, `light` elsewhere.
inline Picture Render(const Matrix& m, int modulePx, int quiet = 4, int quarterTurns = 0, uint8_t dark = 0,
                      uint8_t light = 255) {
    Picture p;
    const int size = (m.side + 2 * quiet) * modulePx;
    p.width = p.height = size;
    p.pixels.assign(static_cast<size_t>(size) * size, light);
    struct Point {
        float x, y;
    };
    const float s = static_cast<float>(m.side);
    // Pixel point -> turned symbol point -> the symbol point before the turn.
    const auto toModules = [&](float px, float py) {
        const float u = px / static_cast<float>(modulePx) - static_cast<float>(quiet);
        const float v = py / static_cast<float>(modulePx) - static_cast<float>(quiet);
        switch (quarterTurns & 3) {
            case 1:
                return Point{v, s - u};
            case 2:
                return Point{s - u, s - v};
            case 3:
                return Point{s - v, u};
            default:
                return Point{u, v};
        }
    };
    DrawModules(m, size, size, Box{0, 0, size, size}, 1, 0.0f, toModules, [&](size_t at, int isDark, int) {
        if (isDark) p.pixels[at] = dark;
    });
    return p;
}

// Places `src` into a larger light picture at (x, y).
inline Picture Place(const Picture& src, int width, int height, int x, int y, uint8_t light = 255) {
    Picture p;
    p.width = width;
    p.height = height;
    p.pixels.assign(static_cast<size_t>(width) * height, light);
    for (int r = 0; r < src.height; ++r)
        for (int c = 0; c < src.width; ++c) {
            const int tx = x + c, ty = y + r;
            if (tx >= 0 && ty >= 0 && tx < width && ty < height)
                p.pixels[static_cast<size_t>(ty) * width + tx] = src.pixels[static_cast<size_t>(r) * src.width + c];
        }
    return p;
}

// Binary plane of a grey picture: 1 where grey < 128.
inline std::vector<uint8_t> Binarize(const Picture& p) {
    std::vector<uint8_t> out(p.pixels.size());
    for (size_t i = 0; i < out.size(); ++i) out[i] = p.pixels[i] < 128 ? 1 : 0;
    return out;
}

}  // namespace testpics
