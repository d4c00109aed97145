#include "pictures.h"

#include <algorithm>
#include <cmath>
#include <fstream>

namespace corpus {

Grey Draw(const Grid& grid, int modulePx, int quiet, int turns, uint8_t dark, uint8_t light) {
    Grey p;
    p.width = p.height = (grid.side + 2 * quiet) * modulePx;
    p.pixels.assign(static_cast<size_t>(p.width) * p.height, light);
    for (int r = 0; r < grid.side; ++r)
        for (int c = 0; c < grid.side; ++c) {
            if (!grid.At(r, c)) continue;
            int row = r, col = c;
            for (int t = 0; t < (turns & 3); ++t) {  // clockwise: (row, col) -> (col, side-1-row)
                const int next = col;
                col = grid.side - 1 - row;
                row = next;
            }
            const int x0 = (col + quiet) * modulePx, y0 = (row + quiet) * modulePx;
            for (int y = 0; y < modulePx; ++y)
                for (int x = 0; x < modulePx; ++x) p.At(x0 + x, y0 + y) = dark;
        }
    return p;
}

void Paste(Grey& canvas, const Grey& src, int x, int y) {
    for (int r = 0; r < src.height; ++r)
        for (int c = 0; c < src.width; ++c)
            if (x + c >= 0 && y + r >= 0 && x + c < canvas.width && y + r < canvas.height)
                canvas.At(x + c, y + r) = src.At(c, r);
}

Grey Warp(const Grey& src, int width, int height, double ax, double bx, double cx, double ay, double by, double cy) {
    Grey out;
    out.width = width;
    out.height = height;
    out.pixels.assign(static_cast<size_t>(width) * height, 255);
    for (int y = 0; y < height; ++y)
        for (int x = 0; x < width; ++x) {
            const int sx = static_cast<int>(std::floor(ax * x + bx * y + cx));
            const int sy = static_cast<int>(std::floor(ay * x + by * y + cy));
            if (sx >= 0 && sy >= 0 && sx < src.width && sy < src.height) out.At(x, y) = src.At(sx, sy);
        }
    return out;
}

Grey ScaleShear(const Grey& src, double sx, double sy, double shear) {
    const int width = static_cast<int>(src.width * sx + std::fabs(shear) * src.height * sy) + 2;
    const int height = static_cast<int>(src.height * sy) + 1;
    const double x0 = shear < 0 ? -shear * src.height * sy : 0.0;
    // x' = sx * u + shear * y' + x0, y' = sy * v, inverted.
    return Warp(src, width, height, 1.0 / sx, -shear / sx, -x0 / sx, 0.0, 1.0 / sy, 0.0);
}

Grey BoxBlur(const Grey& src, int r) {
    Grey out = src;
    const int n = (2 * r + 1) * (2 * r + 1);
    for (int y = 0; y < src.height; ++y)
        for (int x = 0; x < src.width; ++x) {
            int sum = 0;
            for (int dy = -r; dy <= r; ++dy)
                for (int dx = -r; dx <= r; ++dx)
                    sum += src.At(std::clamp(x + dx, 0, src.width - 1), std::clamp(y + dy, 0, src.height - 1));
            out.At(x, y) = static_cast<uint8_t>(sum / n);
        }
    return out;
}

Grey Noise(const Grey& src, int amplitude, Lcg& random) {
    Grey out = src;
    for (uint8_t& v : out.pixels)
        v = static_cast<uint8_t>(std::clamp(v + random.Below(2 * amplitude + 1) - amplitude, 0, 255));
    return out;
}

Grey Contrast(const Grey& src, uint8_t dark, uint8_t light) {
    Grey out = src;
    for (uint8_t& v : out.pixels) v = static_cast<uint8_t>(dark + (light - dark) * v / 255);
    return out;
}

Grey Turn(const Grey& src, int turns) {
    Grey out = src;
    for (int t = 0; t < (turns & 3); ++t) {
        Grey next;
        next.width = out.height;
        next.height = out.width;
        next.pixels.resize(out.pixels.size());
        for (int y = 0; y < out.height; ++y)
            for (int x = 0; x < out.width; ++x) next.At(out.height - 1 - y, x) = out.At(x, y);
        out = std::move(next);
    }
    return out;
}

std::vector<uint8_t> Binarize(const Grey& src) {
    std::vector<uint8_t> plane(src.pixels.size());
    for (size_t i = 0; i < plane.size(); ++i) plane[i] = src.pixels[i] < 128 ? 1 : 0;
    return plane;
}

namespace {
void Put32(std::vector<uint8_t>& b, size_t at, uint32_t v) {
    for (int i = 0; i < 4; ++i) b[at + i] = static_cast<uint8_t>(v >> (8 * i));
}
}  // namespace

std::vector<uint8_t> GreyBmp(const Grey& src, bool oneBit, uint32_t ppmX, uint32_t ppmY) {
    const int bits = oneBit ? 1 : 8;
    const size_t stride = (static_cast<size_t>(src.width) * bits + 31) / 32 * 4;
    const size_t colours = oneBit ? 2 : 256;
    const size_t dataStart = 54 + 4 * colours;
    std::vector<uint8_t> b(dataStart + stride * src.height, 0);
    b[0] = 'B';
    b[1] = 'M';
    Put32(b, 2, static_cast<uint32_t>(b.size()));
    Put32(b, 10, static_cast<uint32_t>(dataStart));
    Put32(b, 14, 40);
    Put32(b, 18, static_cast<uint32_t>(src.width));
    Put32(b, 22, static_cast<uint32_t>(src.height));
    b[26] = 1;
    b[28] = static_cast<uint8_t>(bits);
    Put32(b, 38, ppmX);
    Put32(b, 42, ppmY);
    for (size_t i = 0; i < colours; ++i) {
        const uint8_t v = oneBit ? static_cast<uint8_t>(i * 255) : static_cast<uint8_t>(i);
        b[54 + 4 * i] = b[55 + 4 * i] = b[56 + 4 * i] = v;
    }
    for (int y = 0; y < src.height; ++y) {
        uint8_t* row = &b[dataStart + stride * (src.height - 1 - y)];
        for (int x = 0; x < src.width; ++x) {
            if (!oneBit)
                row[x] = src.At(x, y);
            else if (src.At(x, y) >= 128)
                row[x / 8] |= static_cast<uint8_t>(0x80 >> (x % 8));
        }
    }
    return b;
}

bool WriteFile(const std::string& path, const std::vector<uint8_t>& bytes) {
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    out.write(reinterpret_cast<const char*>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
    return static_cast<bool>(out);
}

}  // namespace corpus
