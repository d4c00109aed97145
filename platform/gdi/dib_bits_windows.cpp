// Packing through the system's own conversion: GetDIBits turns the surface's
// bitmap into 1- or 4-bit rows and fills in the colour table it used.
#include <cstring>

#include "gdi/dib_packing.h"
#include "gdi/raster_surface_native_windows.h"

namespace platform {

namespace {

struct DibInfo {
    BITMAPINFOHEADER header;
    RGBQUAD colours[16];
};

}  // namespace

void PackDibBits(const RasterSurface& surface, int bitsPerPixel, uint8_t* colourTable, uint8_t* rows) {
    RasterSurface::Native& native = surface.NativeSurface();
    const int colours = DibColourCount(bitsPerPixel);
    std::memset(rows, 0, static_cast<size_t>(DibImageSize(surface.Width(), surface.Height(), bitsPerPixel)));
    DibInfo info{};
    info.header.biSize = sizeof info.header;
    info.header.biWidth = surface.Width();
    info.header.biHeight = surface.Height();  // bottom row first
    info.header.biPlanes = 1;
    info.header.biBitCount = static_cast<WORD>(bitsPerPixel);
    info.header.biCompression = BI_RGB;
    GdiFlush();
    // The bitmap may not be selected into a context while it is read.
    SelectObject(native.dc, native.previousBitmap);
    HDC screen = GetDC(nullptr);
    GetDIBits(screen != nullptr ? screen : native.dc, native.bitmap, 0, static_cast<UINT>(surface.Height()), rows,
              reinterpret_cast<BITMAPINFO*>(&info), DIB_RGB_COLORS);
    if (screen != nullptr) ReleaseDC(nullptr, screen);
    SelectObject(native.dc, native.bitmap);
    for (int i = 0; i < colours; ++i) {
        colourTable[4 * i] = info.colours[i].rgbBlue;
        colourTable[4 * i + 1] = info.colours[i].rgbGreen;
        colourTable[4 * i + 2] = info.colours[i].rgbRed;
        colourTable[4 * i + 3] = 0;
    }
}

}  // namespace platform
