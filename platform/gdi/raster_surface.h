// A memory bitmap of 32-bit pixels (0x00RRGGBB) that can be drawn on: our
// own pixel array, or on Windows a 32-bit DIB section selected into a memory
// device context that GDI draws on.
#pragma once

#include <cstdint>
#include <memory>

#include "gdi/device_context.h"
#include "gdi/screen.h"

namespace platform {

class RasterSurface final : public DeviceContext {
public:
    static constexpr int kMaxEdge = 32767;
    // Upper bound on width x height (1 GiB of pixels): beyond it the surface
    // is refused rather than risking the machine on an absurd request.
    static constexpr int64_t kMaxPixels = int64_t{1} << 28;

    // Null when no bitmap can be made: an edge <= 0 or > kMaxEdge, too many
    // pixels, or no memory. A new surface is white. A resolution of 0 is the
    // screen's.
    static std::unique_ptr<RasterSurface> Create(int width, int height, int dpiX = 0, int dpiY = 0);
    ~RasterSurface() override;

    int Width() const { return width_; }
    int Height() const { return height_; }
    const uint32_t* Row(int y) const;
    // 0x00RRGGBB; out-of-range positions read as 0.
    uint32_t Pixel(int x, int y) const;

    // The pen lines are drawn with (black by default, like a new context's).
    void SetPenColor(ColorRef color);

    int ResolutionX() const override { return dpiX_; }
    int ResolutionY() const override { return dpiY_; }
    void FillRect(int left, int top, int right, int bottom, ColorRef color) override;
    void Line(int x0, int y0, int x1, int y1) override;

    // What holds the pixels (and on Windows the device context and bitmap).
    struct Native;
    Native& NativeSurface() const { return *native_; }

private:
    RasterSurface(int width, int height, int dpiX, int dpiY, std::unique_ptr<Native> native);
    void Span(int64_t y, int64_t x0, int64_t x1, uint32_t rgb);

    int width_;
    int height_;
    int dpiX_;
    int dpiY_;
    ColorRef pen_ = kBlack;
    std::unique_ptr<Native> native_;
    uint32_t* pixels_;
};

// 0x00BBGGRR -> 0x00RRGGBB.
inline uint32_t ToRgb(ColorRef c) { return ((c & 0xFF) << 16) | (c & 0xFF00) | ((c >> 16) & 0xFF); }

}  // namespace platform
