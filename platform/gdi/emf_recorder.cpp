#include "gdi/emf_recorder.h"

#include <cmath>

#include "gdi/byte_writer.h"

namespace platform {

namespace {
constexpr uint32_t kSignature = 0x464D4520;  // " EMF"
constexpr uint32_t kVersion = 0x10000;

// Pixels at `dpi` to hundredths of a millimetre.
int32_t HundredthsMm(int64_t pixels, int dpi) {
    if (dpi <= 0) return 0;
    return static_cast<int32_t>(std::lround(static_cast<double>(pixels) * 2540.0 / dpi));
}
}  // namespace

EmfRecorder::EmfRecorder(EmfReference reference) : MetafileRecorder(1), ref_(reference) {
    bytes_.assign(kEmrHeaderSize, 0);  // completed by Close
    records_ = 1;
}

void EmfRecorder::Begin(uint32_t type, uint32_t size) {
    PutU32(bytes_, type);
    PutU32(bytes_, size);
    ++records_;
}

int EmfRecorder::SetMapMode(int mode) {
    Begin(kEmrSetMapMode, 12);
    PutU32(bytes_, static_cast<uint32_t>(mode));
    return MetafileRecorder::SetMapMode(mode);
}

void EmfRecorder::SetWindowExt(int width, int height) {
    Begin(kEmrSetWindowExtEx, 16);
    PutU32(bytes_, static_cast<uint32_t>(width));
    PutU32(bytes_, static_cast<uint32_t>(height));
}

void EmfRecorder::SetWindowOrg(int x, int y) {
    Begin(kEmrSetWindowOrgEx, 16);
    PutU32(bytes_, static_cast<uint32_t>(x));
    PutU32(bytes_, static_cast<uint32_t>(y));
}

void EmfRecorder::EmitCreateBrush(int index, ColorRef color) {
    Begin(kEmrCreateBrushIndirect, 24);
    PutU32(bytes_, static_cast<uint32_t>(index));
    PutU32(bytes_, kBrushSolid);
    PutU32(bytes_, color);
    PutU32(bytes_, 0);  // hatch
}

void EmfRecorder::EmitCreatePen(int index, ColorRef color) {
    Begin(kEmrCreatePen, 28);
    PutU32(bytes_, static_cast<uint32_t>(index));
    PutU32(bytes_, kPenSolid);
    PutU32(bytes_, 1);  // width x
    PutU32(bytes_, 0);  // width y (unused)
    PutU32(bytes_, color);
}

void EmfRecorder::EmitSelect(int index) {
    Begin(kEmrSelectObject, 12);
    PutU32(bytes_, static_cast<uint32_t>(index));
}

void EmfRecorder::EmitDelete(int index) {
    Begin(kEmrDeleteObject, 12);
    PutU32(bytes_, static_cast<uint32_t>(index));
}

void EmfRecorder::EmitRectangle(int left, int top, int right, int bottom) {
    Begin(kEmrRectangle, 24);
    for (int v : {left, top, right, bottom}) PutU32(bytes_, static_cast<uint32_t>(v));
}

void EmfRecorder::EmitMoveTo(int x, int y) {
    Begin(kEmrMoveToEx, 16);
    PutU32(bytes_, static_cast<uint32_t>(x));
    PutU32(bytes_, static_cast<uint32_t>(y));
}

void EmfRecorder::EmitLineTo(int x, int y) {
    Begin(kEmrLineTo, 16);
    PutU32(bytes_, static_cast<uint32_t>(x));
    PutU32(bytes_, static_cast<uint32_t>(y));
}

std::vector<uint8_t> EmfRecorder::Close() {
    DeleteAllObjects();
    Begin(kEmrEof, 20);
    PutU32(bytes_, 0);   // palette entries
    PutU32(bytes_, 16);  // offset of the (absent) palette
    PutU32(bytes_, 20);  // size of this record, repeated at its end

    const Bounds& b = DrawnBounds();
    std::vector<uint8_t> h;
    h.reserve(kEmrHeaderSize);
    PutU32(h, kEmrHeader);
    PutU32(h, kEmrHeaderSize);
    for (int v : {b.left, b.top, b.right, b.bottom}) PutU32(h, static_cast<uint32_t>(v));
    // The frame covers the drawn pixels (inclusive bounds, hence + 1).
    if (b.right < b.left) {
        for (int v : {0, 0, -1, -1}) PutU32(h, static_cast<uint32_t>(v));
    } else {
        PutU32(h, static_cast<uint32_t>(HundredthsMm(b.left, ref_.dpiX)));
        PutU32(h, static_cast<uint32_t>(HundredthsMm(b.top, ref_.dpiY)));
        PutU32(h, static_cast<uint32_t>(HundredthsMm(int64_t{b.right} + 1, ref_.dpiX) - 1));
        PutU32(h, static_cast<uint32_t>(HundredthsMm(int64_t{b.bottom} + 1, ref_.dpiY) - 1));
    }
    PutU32(h, kSignature);
    PutU32(h, kVersion);
    PutU32(h, static_cast<uint32_t>(bytes_.size()));
    PutU32(h, records_);
    PutU16(h, static_cast<uint32_t>(HandleCount()));
    PutU16(h, 0);  // reserved
    PutU32(h, 0);  // description length
    PutU32(h, 0);  // description offset
    PutU32(h, 0);  // palette entries
    PutU32(h, static_cast<uint32_t>(ref_.widthPixels));
    PutU32(h, static_cast<uint32_t>(ref_.heightPixels));
    const int32_t mmX = HundredthsMm(ref_.widthPixels, ref_.dpiX);
    const int32_t mmY = HundredthsMm(ref_.heightPixels, ref_.dpiY);
    PutU32(h, static_cast<uint32_t>((mmX + 50) / 100));
    PutU32(h, static_cast<uint32_t>((mmY + 50) / 100));
    PutU32(h, 0);  // pixel format size
    PutU32(h, 0);  // pixel format offset
    PutU32(h, 0);  // not OpenGL
    PutU32(h, static_cast<uint32_t>(mmX * 10));
    PutU32(h, static_cast<uint32_t>(mmY * 10));
    std::copy(h.begin(), h.end(), bytes_.begin());
    return std::move(bytes_);
}

}  // namespace platform
