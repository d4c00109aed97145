// Conversion of a drawn raster into device-independent bitmap pixel rows:
// 1 bit per pixel with the colour table black, white, or 4 bits per pixel
// with the standard 16-colour palette, each pixel the nearest table entry.
#pragma once

#include <array>
#include <cstdint>

#include "gdi/raster_surface.h"

namespace platform {

// The standard 16-colour palette, 0x00RRGGBB, in table order.
const std::array<uint32_t, 16>& StandardPalette();

// 2 for 1 bit per pixel, 16 for 4.
int DibColourCount(int bitsPerPixel);
// Bytes of one pixel row, padded to a multiple of 4.
int64_t DibRowBytes(int width, int bitsPerPixel);
int64_t DibImageSize(int width, int height, int bitsPerPixel);

// Writes the colour table (4 bytes per entry: blue, green, red, 0) to
// `colourTable` and the pixel rows, bottom row first, to `rows`
// (DibImageSize bytes). bitsPerPixel is 1 or 4.
void PackDibBits(const RasterSurface& surface, int bitsPerPixel, uint8_t* colourTable, uint8_t* rows);

// Index of the palette entry nearest to `rgb` (squared distance, lowest
// index on ties).
int NearestIndex(uint32_t rgb, const uint32_t* palette, int count);

}  // namespace platform
