#include "gdi/gdi_context.h"

namespace platform {

GdiContext::GdiContext(HDC dc) : dc_(dc) {
    if (dc_ != nullptr) {
        ownPen_ = GetCurrentObject(dc_, OBJ_PEN);
        ownBrush_ = GetCurrentObject(dc_, OBJ_BRUSH);
    }
}

GdiContext::~GdiContext() { Restore(); }

void GdiContext::Restore() {
    if (dc_ == nullptr) return;
    if (fillSelected_) {
        SelectObject(dc_, ownPen_);
        SelectObject(dc_, ownBrush_);
        fillSelected_ = false;
    }
    if (fillPen_ != nullptr) DeleteObject(fillPen_);
    if (fillBrush_ != nullptr) DeleteObject(fillBrush_);
    fillPen_ = nullptr;
    fillBrush_ = nullptr;
}

int GdiContext::ResolutionX() const { return dc_ != nullptr ? GetDeviceCaps(dc_, LOGPIXELSX) : 0; }
int GdiContext::ResolutionY() const { return dc_ != nullptr ? GetDeviceCaps(dc_, LOGPIXELSY) : 0; }
int GdiContext::MapMode() const { return dc_ != nullptr ? GetMapMode(dc_) : kMapModeText; }
int GdiContext::SetMapMode(int mode) { return dc_ != nullptr ? ::SetMapMode(dc_, mode) : kMapModeText; }

void GdiContext::FillRect(int left, int top, int right, int bottom, ColorRef color) {
    if (dc_ == nullptr || right <= left || bottom <= top) return;
    if (fillPen_ == nullptr || fillColor_ != color) {
        Restore();
        fillPen_ = CreatePen(PS_SOLID, 1, color);
        fillBrush_ = CreateSolidBrush(color);
        if (fillPen_ == nullptr || fillBrush_ == nullptr) return;
        fillColor_ = color;
    }
    if (!fillSelected_) {
        SelectObject(dc_, fillPen_);
        SelectObject(dc_, fillBrush_);
        fillSelected_ = true;
    }
    // A rectangle leaves out its right and bottom edges, as the fill does.
    Rectangle(dc_, left, top, right, bottom);
}

void GdiContext::Line(int x0, int y0, int x1, int y1) {
    if (dc_ == nullptr) return;
    if (fillSelected_) {
        SelectObject(dc_, ownPen_);
        SelectObject(dc_, ownBrush_);
        fillSelected_ = false;
    }
    MoveToEx(dc_, x0, y0, nullptr);
    LineTo(dc_, x1, y1);
}

}  // namespace platform
