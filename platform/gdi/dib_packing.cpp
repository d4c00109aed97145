#include "gdi/dib_packing.h"

namespace platform {

namespace {
constexpr std::array<uint32_t, 16> kStandard = {
    0x000000, 0x800000, 0x008000, 0x808000, 0x000080, 0x800080, 0x008080, 0xC0C0C0,
    0x808080, 0xFF0000, 0x00FF00, 0xFFFF00, 0x0000FF, 0xFF00FF, 0x00FFFF, 0xFFFFFF,
};
}  // namespace

const std::array<uint32_t, 16>& StandardPalette() { return kStandard; }

int DibColourCount(int bitsPerPixel) { return bitsPerPixel == 1 ? 2 : 16; }

int64_t DibRowBytes(int width, int bitsPerPixel) { return (int64_t{bitsPerPixel} * width + 31) / 32 * 4; }

int64_t DibImageSize(int width, int height, int bitsPerPixel) { return DibRowBytes(width, bitsPerPixel) * height; }

int NearestIndex(uint32_t rgb, const uint32_t* palette, int count) {
    int best = 0;
    int64_t bestDistance = INT64_MAX;
    for (int i = 0; i < count; ++i) {
        int64_t d = 0;
        for (int shift = 0; shift <= 16; shift += 8) {
            const int64_t c = int64_t((rgb >> shift) & 0xFF) - int64_t((palette[i] >> shift) & 0xFF);
            d += c * c;
        }
        if (d < bestDistance) {
            bestDistance = d;
            best = i;
        }
    }
    return best;
}

}  // namespace platform
