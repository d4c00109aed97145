// Packing our own pixel array: each pixel becomes the nearest table entry.
#include <cstring>

#include "gdi/dib_packing.h"

namespace platform {

namespace {
constexpr uint32_t kMonochrome[2] = {0x000000, 0xFFFFFF};
}  // namespace

void PackDibBits(const RasterSurface& surface, int bitsPerPixel, uint8_t* colourTable, uint8_t* rows) {
    const uint32_t* palette = bitsPerPixel == 1 ? kMonochrome : StandardPalette().data();
    const int colours = DibColourCount(bitsPerPixel);
    for (int i = 0; i < colours; ++i) {
        colourTable[4 * i] = palette[i] & 0xFF;
        colourTable[4 * i + 1] = (palette[i] >> 8) & 0xFF;
        colourTable[4 * i + 2] = (palette[i] >> 16) & 0xFF;
        colourTable[4 * i + 3] = 0;
    }
    const int width = surface.Width();
    const int64_t rowBytes = DibRowBytes(width, bitsPerPixel);
    const int pixelsPerByte = 8 / bitsPerPixel;
    // Drawings hold few colours: remember the last lookup.
    uint32_t lastRgb = surface.Row(0)[0];
    int lastIndex = NearestIndex(lastRgb, palette, colours);
    for (int y = 0; y < surface.Height(); ++y) {
        uint8_t* out = rows + (surface.Height() - 1 - y) * rowBytes;
        std::memset(out, 0, static_cast<size_t>(rowBytes));
        const uint32_t* in = surface.Row(y);
        for (int x = 0; x < width; ++x) {
            if (in[x] != lastRgb) {
                lastRgb = in[x];
                lastIndex = NearestIndex(lastRgb, palette, colours);
            }
            const int shift = 8 - bitsPerPixel * (x % pixelsPerByte + 1);
            out[x / pixelsPerByte] |= static_cast<uint8_t>(lastIndex << shift);
        }
    }
}

}  // namespace platform
