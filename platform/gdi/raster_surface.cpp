#include "gdi/raster_surface.h"

#include <algorithm>
#include <cstdlib>
#include <new>

namespace platform {

struct RasterSurface::Native {
    std::unique_ptr<uint32_t[]> pixels;
};

std::unique_ptr<RasterSurface> RasterSurface::Create(int width, int height, int dpiX, int dpiY) {
    if (width <= 0 || height <= 0 || width > kMaxEdge || height > kMaxEdge) return nullptr;
    const int64_t count = int64_t{width} * height;
    if (count > kMaxPixels) return nullptr;
    auto native = std::make_unique<Native>();
    native->pixels.reset(new (std::nothrow) uint32_t[static_cast<size_t>(count)]);
    if (!native->pixels) return nullptr;
    std::fill_n(native->pixels.get(), count, ToRgb(kWhite));
    return std::unique_ptr<RasterSurface>(new RasterSurface(width, height, dpiX != 0 ? dpiX : kScreenDpi,
                                                            dpiY != 0 ? dpiY : kScreenDpi, std::move(native)));
}

RasterSurface::RasterSurface(int width, int height, int dpiX, int dpiY, std::unique_ptr<Native> native)
    : width_(width),
      height_(height),
      dpiX_(dpiX),
      dpiY_(dpiY),
      native_(std::move(native)),
      pixels_(native_->pixels.get()) {}

RasterSurface::~RasterSurface() = default;

const uint32_t* RasterSurface::Row(int y) const { return pixels_ + static_cast<int64_t>(y) * width_; }

void RasterSurface::SetPenColor(ColorRef color) { pen_ = color; }

uint32_t RasterSurface::Pixel(int x, int y) const {
    if (x < 0 || y < 0 || x >= width_ || y >= height_) return 0;
    return Row(y)[x];
}

// Fills x0 <= x < x1 on row y, clipped to the surface.
void RasterSurface::Span(int64_t y, int64_t x0, int64_t x1, uint32_t rgb) {
    if (y < 0 || y >= height_) return;
    x0 = std::max<int64_t>(x0, 0);
    x1 = std::min<int64_t>(x1, width_);
    if (x0 >= x1) return;
    std::fill(pixels_ + y * width_ + x0, pixels_ + y * width_ + x1, rgb);
}

void RasterSurface::FillRect(int left, int top, int right, int bottom, ColorRef color) {
    const uint32_t rgb = ToRgb(color);
    const int64_t y0 = std::max(top, 0);
    const int64_t y1 = std::min(bottom, height_);
    for (int64_t y = y0; y < y1; ++y) Span(y, left, right, rgb);
}

void RasterSurface::Line(int x0, int y0, int x1, int y1) {
    const uint32_t rgb = ToRgb(pen_);
    if (y0 == y1) {
        if (x0 <= x1)
            Span(y0, x0, x1, rgb);
        else
            Span(y0, int64_t{x1} + 1, int64_t{x0} + 1, rgb);
        return;
    }
    if (x0 == x1) {
        if (x0 < 0 || x0 >= width_) return;
        const int64_t from = y0 < y1 ? y0 : int64_t{y1} + 1;
        const int64_t to = y0 < y1 ? y1 : int64_t{y0} + 1;
        for (int64_t y = std::max<int64_t>(from, 0); y < std::min<int64_t>(to, height_); ++y)
            pixels_[y * width_ + x0] = rgb;
        return;
    }
    // Slanted lines (Bresenham), end point excluded. Lines far longer than
    // any surface are not drawn.
    const int64_t dx = std::llabs(int64_t{x1} - x0), dy = -std::llabs(int64_t{y1} - y0);
    if (dx - dy > 4 * int64_t{kMaxEdge}) return;
    const int sx = x0 < x1 ? 1 : -1, sy = y0 < y1 ? 1 : -1;
    int64_t err = dx + dy, x = x0, y = y0;
    while (x != x1 || y != y1) {
        if (x >= 0 && y >= 0 && x < width_ && y < height_) pixels_[y * width_ + x] = rgb;
        const int64_t e2 = 2 * err;
        if (e2 >= dy) {
            err += dy;
            x += sx;
        }
        if (e2 <= dx) {
            err += dx;
            y += sy;
        }
    }
}

}  // namespace platform
