// What the WMF and EMF recorders share: they record fills as a solid brush
// plus a pen of the same colour and a rectangle (which every metafile reader
// draws), and lines with the context's current pen (solid black, one pixel,
// like a new context's). Pens and brushes are created once per colour and
// reused; the object table stays small.
#pragma once

#include <array>
#include <cstdint>

#include "gdi/metafile_context.h"

namespace platform {

class MetafileRecorder : public MetafileContext {
public:
    void FillRect(int left, int top, int right, int bottom, ColorRef color) override;
    void Line(int x0, int y0, int x1, int y1) override;

    // Device-pixel extent of what has been drawn, inclusive; empty (right <
    // left) when nothing has been drawn.
    struct Bounds {
        int left = 0, top = 0, right = -1, bottom = -1;
    };
    const Bounds& DrawnBounds() const { return bounds_; }

protected:
    static constexpr int kPenSolid = 0;
    static constexpr int kBrushSolid = 0;
    static constexpr int kMaxObjects = 8;

    // firstIndex: the number of the first object slot (0 in WMF, 1 in EMF).
    explicit MetafileRecorder(int firstIndex) : firstIndex_(firstIndex) {}

    virtual void EmitCreateBrush(int index, ColorRef color) = 0;
    virtual void EmitCreatePen(int index, ColorRef color) = 0;
    virtual void EmitSelect(int index) = 0;
    virtual void EmitDelete(int index) = 0;
    virtual void EmitRectangle(int left, int top, int right, int bottom) = 0;
    virtual void EmitMoveTo(int x, int y) = 0;
    virtual void EmitLineTo(int x, int y) = 0;

    // Deletes every object still in the table (at the end of a recording).
    void DeleteAllObjects();
    // Highest slot number used plus one: the handle-table size readers need.
    int HandleCount() const { return firstIndex_ + highWater_; }

private:
    enum Kind : uint8_t { kNone, kBrush, kPen };
    struct Slot {
        Kind kind = kNone;
        ColorRef color = 0;
    };
    void Use(Kind kind, ColorRef color);
    void Grow(int64_t x0, int64_t y0, int64_t x1, int64_t y1);

    int firstIndex_;
    int highWater_ = 0;
    std::array<Slot, kMaxObjects> slots_{};
    int selectedBrush_ = -1;
    int selectedPen_ = -1;
    Bounds bounds_;
};

}  // namespace platform
