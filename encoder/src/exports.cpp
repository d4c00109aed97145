// The exported C functions: argument checks, no exception across the
// boundary, then the C++ core.
#include "mosaire.h"

#include "caller_context.h"
#include "drawing.h"
#include "gdi/screen.h"
#include "outputs.h"
#include "settings.h"

namespace {

constexpr int16_t kTrue = -1;
constexpr int16_t kFalse = 0;

int16_t Truth(bool b) { return b ? kTrue : kFalse; }

template <typename F>
void Guard(F f) noexcept {
    try {
        f();
    } catch (...) {
    }
}

template <typename F>
int16_t GuardTruth(F f) noexcept {
    try {
        return f();
    } catch (...) {
        return kFalse;
    }
}

}  // namespace

extern "C" {

MOSAIRE_API void QRSetMessage(const char* text) {
    Guard([&] { mosaire::SetMessage(text); });
}

MOSAIRE_API void QRSetSize(int32_t width, int32_t height) {
    Guard([&] { mosaire::SetSize(width, height); });
}

MOSAIRE_API void QRConfigure(int32_t version, int32_t ecLevel, int32_t mask) {
    Guard([&] { mosaire::Configure(version, ecLevel, mask); });
}

MOSAIRE_API void QRAppearance(double moduleWidthCm, int32_t orientation, int32_t frameStyle) {
    Guard([&] { mosaire::Appearance(moduleWidthCm, orientation, frameStyle); });
}

MOSAIRE_API void QRSetBackColor(int32_t red, int32_t green, int32_t blue) {
    Guard([&] { mosaire::SetBackColor(red, green, blue); });
}

MOSAIRE_API void QRSetBarColor(int32_t red, int32_t green, int32_t blue) {
    Guard([&] { mosaire::SetBarColor(red, green, blue); });
}

MOSAIRE_API void QRSetDefault(void) {
    Guard([] { mosaire::SetDefault(); });
}

MOSAIRE_API void QRRender(QRDeviceContext* dc, int32_t x, int32_t y) {
    if (dc == nullptr) return;
    Guard([&] {
        mosaire::CallerContext context(dc);
        mosaire::Render(mosaire::Settings(), mosaire::Working(), context, static_cast<uint16_t>(x),
                        static_cast<uint16_t>(y));
    });
}

MOSAIRE_API void QRGetActualSize(int32_t useScreen, QRDeviceContext* dc, int32_t* width, int32_t* height) {
    Guard([&] {
        int32_t edge = 0;
        if (static_cast<uint16_t>(useScreen) == 0xFFFF) {
            edge = mosaire::ActualSize(mosaire::Settings(), mosaire::Working(), platform::ScreenContext());
        } else {
            edge = mosaire::ActualSize(mosaire::Settings(), mosaire::Working(), mosaire::CallerContext(dc));
        }
        if (width != nullptr) *width = edge;
        if (height != nullptr) *height = edge;
    });
}

MOSAIRE_API void QRGetActualRC(int16_t* rows, int16_t* cols) {
    Guard([&] {
        const int16_t n = mosaire::ActualModules(mosaire::Settings(), mosaire::Working());
        if (rows != nullptr) *rows = n;
        if (cols != nullptr) *cols = n;
    });
}

MOSAIRE_API int16_t QRSaveAsBMP(const char* path) {
    if (path == nullptr) return kFalse;
    return GuardTruth([&] { return Truth(mosaire::SaveAsBmp(mosaire::Settings(), mosaire::Working(), path)); });
}

MOSAIRE_API int16_t QRSaveAsWMF(const char* path) {
    if (path == nullptr) return kFalse;
    return GuardTruth([&] { return Truth(mosaire::SaveAsWmf(mosaire::Settings(), mosaire::Working(), path)); });
}

MOSAIRE_API int16_t QRCopyToClipboard(void) {
    return GuardTruth([] { return Truth(mosaire::CopyToClipboard(mosaire::Settings(), mosaire::Working())); });
}

MOSAIRE_API int16_t QRGetPatternData(unsigned char* buffer, uint32_t* size, int16_t* rows, int16_t* cols) {
    if (size == nullptr) return kFalse;
    return GuardTruth([&] {
        return Truth(mosaire::GetPatternData(mosaire::Settings(), mosaire::Working(), buffer, *size, rows, cols));
    });
}

}  // extern "C"
