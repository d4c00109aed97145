#include "gdi/metafile_recorder.h"

#include <algorithm>

namespace platform {

void MetafileRecorder::Use(Kind kind, ColorRef color) {
    int slot = -1;
    for (int i = 0; i < kMaxObjects; ++i)
        if (slots_[i].kind == kind && slots_[i].color == color) slot = i;
    if (slot < 0) {
        // The lowest free slot, as readers assign it on creation; when the
        // table is full, the first object not currently selected goes.
        for (int i = 0; i < kMaxObjects && slot < 0; ++i)
            if (slots_[i].kind == kNone) slot = i;
        for (int i = 0; i < kMaxObjects && slot < 0; ++i) {
            if (i != selectedBrush_ && i != selectedPen_) {
                EmitDelete(firstIndex_ + i);
                slot = i;
            }
        }
        slots_[slot] = {kind, color};
        highWater_ = std::max(highWater_, slot + 1);
        if (kind == kBrush)
            EmitCreateBrush(firstIndex_ + slot, color);
        else
            EmitCreatePen(firstIndex_ + slot, color);
    }
    int& selected = kind == kBrush ? selectedBrush_ : selectedPen_;
    if (selected != slot) {
        EmitSelect(firstIndex_ + slot);
        selected = slot;
    }
}

void MetafileRecorder::Grow(int64_t x0, int64_t y0, int64_t x1, int64_t y1) {
    auto clamp = [](int64_t v) { return static_cast<int>(std::clamp<int64_t>(v, INT32_MIN, INT32_MAX)); };
    if (bounds_.right < bounds_.left) {
        bounds_ = {clamp(x0), clamp(y0), clamp(x1), clamp(y1)};
        return;
    }
    bounds_.left = std::min(bounds_.left, clamp(x0));
    bounds_.top = std::min(bounds_.top, clamp(y0));
    bounds_.right = std::max(bounds_.right, clamp(x1));
    bounds_.bottom = std::max(bounds_.bottom, clamp(y1));
}

void MetafileRecorder::FillRect(int left, int top, int right, int bottom, ColorRef color) {
    if (right <= left || bottom <= top) return;
    Use(kBrush, color);
    Use(kPen, color);
    EmitRectangle(left, top, right, bottom);
    Grow(left, top, int64_t{right} - 1, int64_t{bottom} - 1);
}

void MetafileRecorder::Line(int x0, int y0, int x1, int y1) {
    if (x0 == x1 && y0 == y1) return;
    Use(kPen, kBlack);
    EmitMoveTo(x0, y0);
    EmitLineTo(x1, y1);
    Grow(std::min(x0, x1), std::min(y0, y1), std::max(x0, x1), std::max(y0, y1));
}

void MetafileRecorder::DeleteAllObjects() {
    for (int i = 0; i < kMaxObjects; ++i) {
        if (slots_[i].kind != kNone) EmitDelete(firstIndex_ + i);
        slots_[i] = {};
    }
    selectedBrush_ = selectedPen_ = -1;
}

}  // namespace platform
