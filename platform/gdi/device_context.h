// A device context: something that knows its resolution, keeps a mapping
// mode, fills solid rectangles and draws one-pixel lines with its current
// pen, all in device pixels (x right, y down). Raster surfaces and metafile
// recorders implement it; the encoder draws on it.
#pragma once

#include <cstdint>

namespace platform {

// One logical unit is one device pixel.
inline constexpr int kMapModeText = 1;

// 0x00BBGGRR, as colours are passed in from callers.
using ColorRef = uint32_t;

inline constexpr ColorRef kBlack = 0x000000;
inline constexpr ColorRef kWhite = 0xFFFFFF;

class DeviceContext {
public:
    virtual ~DeviceContext() = default;

    // Dots per inch; 0 when the context has no device of its own.
    virtual int ResolutionX() const = 0;
    virtual int ResolutionY() const = 0;

    virtual int MapMode() const { return mapMode_; }
    // Returns the previous mode.
    virtual int SetMapMode(int mode) {
        const int previous = mapMode_;
        mapMode_ = mode;
        return previous;
    }

    // Fills left <= x < right, top <= y < bottom; an empty rectangle draws nothing.
    virtual void FillRect(int left, int top, int right, int bottom, ColorRef color) = 0;
    // Line with the current pen from (x0, y0) to (x1, y1), end point excluded.
    virtual void Line(int x0, int y0, int x1, int y1) = 0;

private:
    int mapMode_ = kMapModeText;
};

}  // namespace platform
