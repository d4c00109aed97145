// A GDI device context (Windows only) seen as a platform device context.
// Fills are pattern copies with a solid brush, made once per colour in a row;
// lines use the context's own pen; the context's own brush is put back at
// the end.
#pragma once

#include <windows.h>

#include "gdi/device_context.h"

namespace platform {

class GdiContext : public DeviceContext {
public:
    explicit GdiContext(HDC dc);
    ~GdiContext() override;
    GdiContext(const GdiContext&) = delete;
    GdiContext& operator=(const GdiContext&) = delete;

    HDC Handle() const { return dc_; }
    // Puts the context's own brush back and deletes ours; further drawing
    // makes a new one.
    void Restore();

    int ResolutionX() const override;
    int ResolutionY() const override;
    int MapMode() const override;
    int SetMapMode(int mode) override;
    void FillRect(int left, int top, int right, int bottom, ColorRef color) override;
    void Line(int x0, int y0, int x1, int y1) override;

private:
    HDC dc_;
    HGDIOBJ ownBrush_ = nullptr;
    HBRUSH fillBrush_ = nullptr;
    ColorRef fillColor_ = 0;
    bool fillSelected_ = false;
};

}  // namespace platform
