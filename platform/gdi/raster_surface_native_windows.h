// What a raster surface is made of on Windows: a memory device context with
// a top-down 32-bit DIB section selected into it.
#pragma once

#include <windows.h>

#include <memory>

#include "gdi/gdi_context.h"
#include "gdi/raster_surface.h"

namespace platform {

struct RasterSurface::Native {
    HDC dc = nullptr;
    HBITMAP bitmap = nullptr;
    HGDIOBJ previousBitmap = nullptr;
    uint32_t* bits = nullptr;
    std::unique_ptr<GdiContext> gdi;
    HPEN pen = nullptr;  // the pen chosen with SetPenColor

    ~Native() {
        gdi.reset();
        if (previousBitmap != nullptr) SelectObject(dc, previousBitmap);
        if (pen != nullptr) {
            SelectObject(dc, GetStockObject(BLACK_PEN));
            DeleteObject(pen);
        }
        if (bitmap != nullptr) DeleteObject(bitmap);
        if (dc != nullptr) DeleteDC(dc);
    }
};

}  // namespace platform
