#include "gdi/wmf_recorder.h"

#include <algorithm>

#include "gdi/byte_writer.h"

namespace platform {

namespace {
constexpr uint16_t kSetMapMode = 0x0103;
constexpr uint16_t kSetWindowOrg = 0x020B;
constexpr uint16_t kSetWindowExt = 0x020C;
constexpr uint16_t kLineTo = 0x0213;
constexpr uint16_t kMoveTo = 0x0214;
constexpr uint16_t kRectangle = 0x041B;
constexpr uint16_t kSelectObject = 0x012D;
constexpr uint16_t kDeleteObject = 0x01F0;
constexpr uint16_t kCreatePenIndirect = 0x02FA;
constexpr uint16_t kCreateBrushIndirect = 0x02FC;
constexpr uint16_t kEof = 0x0000;

// Metafile coordinates are 16-bit.
uint16_t Coord(int v) { return static_cast<uint16_t>(std::clamp(v, -32768, 32767)); }
}  // namespace

// One record: size in 16-bit words, function, then 16-bit parameters (in
// the reversed order the format stores them; callers pass them that way).
void WmfRecorder::Record(uint16_t function, std::initializer_list<int> params) {
    const uint32_t words = 3 + static_cast<uint32_t>(params.size());
    PutU32(records_, words);
    PutU16(records_, function);
    for (int p : params) PutU16(records_, static_cast<uint16_t>(p));
    maxRecordWords_ = std::max(maxRecordWords_, words);
}

int WmfRecorder::SetMapMode(int mode) {
    Record(kSetMapMode, {mode});
    return MetafileRecorder::SetMapMode(mode);
}

void WmfRecorder::SetWindowExt(int width, int height) { Record(kSetWindowExt, {Coord(height), Coord(width)}); }

void WmfRecorder::SetWindowOrg(int x, int y) { Record(kSetWindowOrg, {Coord(y), Coord(x)}); }

void WmfRecorder::EmitCreateBrush(int, ColorRef color) {
    Record(kCreateBrushIndirect, {kBrushSolid, int(color & 0xFFFF), int(color >> 16), 0});
}

void WmfRecorder::EmitCreatePen(int, ColorRef color) {
    // Style, width (x, y), colour.
    Record(kCreatePenIndirect, {kPenSolid, 1, 0, int(color & 0xFFFF), int(color >> 16)});
}

void WmfRecorder::EmitSelect(int index) { Record(kSelectObject, {index}); }
void WmfRecorder::EmitDelete(int index) { Record(kDeleteObject, {index}); }

void WmfRecorder::EmitRectangle(int left, int top, int right, int bottom) {
    Record(kRectangle, {Coord(bottom), Coord(right), Coord(top), Coord(left)});
}

void WmfRecorder::EmitMoveTo(int x, int y) { Record(kMoveTo, {Coord(y), Coord(x)}); }
void WmfRecorder::EmitLineTo(int x, int y) { Record(kLineTo, {Coord(y), Coord(x)}); }

std::vector<uint8_t> WmfRecorder::Close() {
    DeleteAllObjects();
    Record(kEof, {});
    std::vector<uint8_t> out;
    out.reserve(18 + records_.size());
    PutU16(out, 1);       // memory metafile
    PutU16(out, 9);       // header size in words
    PutU16(out, 0x0300);  // version
    PutU32(out, static_cast<uint32_t>((18 + records_.size()) / 2));
    PutU16(out, static_cast<uint32_t>(HandleCount()));
    PutU32(out, maxRecordWords_);
    PutU16(out, 0);
    out.insert(out.end(), records_.begin(), records_.end());
    records_.clear();
    return out;
}

}  // namespace platform
