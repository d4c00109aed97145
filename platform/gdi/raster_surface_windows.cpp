#include "gdi/raster_surface.h"

#include "gdi/raster_surface_native_windows.h"

namespace platform {

std::unique_ptr<RasterSurface> RasterSurface::Create(int width, int height, int dpiX, int dpiY) {
    if (width <= 0 || height <= 0 || width > kMaxEdge || height > kMaxEdge) return nullptr;
    if (int64_t{width} * height > kMaxPixels) return nullptr;
    auto native = std::make_unique<Native>();
    native->dc = CreateCompatibleDC(nullptr);
    if (native->dc == nullptr) return nullptr;
    BITMAPINFO info{};
    info.bmiHeader.biSize = sizeof info.bmiHeader;
    info.bmiHeader.biWidth = width;
    info.bmiHeader.biHeight = -height;  // top-down: row 0 first, like our rows
    info.bmiHeader.biPlanes = 1;
    info.bmiHeader.biBitCount = 32;
    info.bmiHeader.biCompression = BI_RGB;
    void* bits = nullptr;
    native->bitmap = CreateDIBSection(native->dc, &info, DIB_RGB_COLORS, &bits, nullptr, 0);
    if (native->bitmap == nullptr || bits == nullptr) return nullptr;
    native->bits = static_cast<uint32_t*>(bits);
    native->previousBitmap = SelectObject(native->dc, native->bitmap);
    PatBlt(native->dc, 0, 0, width, height, WHITENESS);
    native->gdi = std::make_unique<GdiContext>(native->dc);
    if (dpiX == 0) dpiX = native->gdi->ResolutionX();
    if (dpiY == 0) dpiY = native->gdi->ResolutionY();
    return std::unique_ptr<RasterSurface>(new RasterSurface(width, height, dpiX, dpiY, std::move(native)));
}

RasterSurface::RasterSurface(int width, int height, int dpiX, int dpiY, std::unique_ptr<Native> native)
    : width_(width), height_(height), dpiX_(dpiX), dpiY_(dpiY), native_(std::move(native)), pixels_(native_->bits) {}

RasterSurface::~RasterSurface() = default;

const uint32_t* RasterSurface::Row(int y) const {
    GdiFlush();  // drawing may still be queued
    return pixels_ + static_cast<int64_t>(y) * width_;
}

uint32_t RasterSurface::Pixel(int x, int y) const {
    if (x < 0 || y < 0 || x >= width_ || y >= height_) return 0;
    return Row(y)[x] & 0xFFFFFF;
}

void RasterSurface::SetPenColor(ColorRef color) {
    pen_ = color;
    HPEN pen = CreatePen(PS_SOLID, 1, color);
    if (pen == nullptr) return;
    SelectObject(native_->dc, pen);
    if (native_->pen != nullptr) DeleteObject(native_->pen);
    native_->pen = pen;
}

void RasterSurface::FillRect(int left, int top, int right, int bottom, ColorRef color) {
    native_->gdi->FillRect(left, top, right, bottom, color);
}

void RasterSurface::Line(int x0, int y0, int x1, int y1) { native_->gdi->Line(x0, y0, x1, y1); }

}  // namespace platform
