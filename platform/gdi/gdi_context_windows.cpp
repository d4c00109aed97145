#include "gdi/gdi_context.h"

namespace platform {

GdiContext::GdiContext(HDC dc) : dc_(dc) {
    if (dc_ != nullptr) ownBrush_ = GetCurrentObject(dc_, OBJ_BRUSH);
}

GdiContext::~GdiContext() { Restore(); }

void GdiContext::Restore() {
    if (dc_ == nullptr) return;
    if (fillSelected_) {
        SelectObject(dc_, ownBrush_);
        fillSelected_ = false;
    }
    if (fillBrush_ != nullptr) DeleteObject(fillBrush_);
    fillBrush_ = nullptr;
}

int GdiContext::ResolutionX() const { return dc_ != nullptr ? GetDeviceCaps(dc_, LOGPIXELSX) : 0; }
int GdiContext::ResolutionY() const { return dc_ != nullptr ? GetDeviceCaps(dc_, LOGPIXELSY) : 0; }
int GdiContext::MapMode() const { return dc_ != nullptr ? GetMapMode(dc_) : kMapModeText; }
int GdiContext::SetMapMode(int mode) { return dc_ != nullptr ? ::SetMapMode(dc_, mode) : kMapModeText; }

void GdiContext::FillRect(int left, int top, int right, int bottom, ColorRef color) {
    if (dc_ == nullptr || right <= left || bottom <= top) return;
    if (fillBrush_ == nullptr || fillColor_ != color) {
        Restore();
        fillBrush_ = CreateSolidBrush(color);
        if (fillBrush_ == nullptr) return;
        fillColor_ = color;
    }
    if (!fillSelected_) {
        SelectObject(dc_, fillBrush_);
        fillSelected_ = true;
    }
    // A pattern copy with the brush: exactly left <= x < right, top <= y < bottom.
    PatBlt(dc_, left, top, right - left, bottom - top, PATCOPY);
}

void GdiContext::Line(int x0, int y0, int x1, int y1) {
    if (dc_ == nullptr) return;
    MoveToEx(dc_, x0, y0, nullptr);
    LineTo(dc_, x1, y1);
}

}  // namespace platform
