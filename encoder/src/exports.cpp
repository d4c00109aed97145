// The exported C functions: argument checks, no exception across the
// boundary, then the C++ core.
#include "mosaire.h"

#include "caller_context.h"
#include "common/c_boundary.h"
#include "drawing.h"
#include "gdi/screen.h"
#include "outputs.h"
#include "settings.h"

namespace {

constexpr int16_t kTrue = -1;
constexpr int16_t kFalse = 0;

int16_t Truth(bool b) { return b ? kTrue : kFalse; }

using qrcommon::Guarded;

}  // namespace

extern "C" {

MOSAIRE_API void MOSAIRE_CALL QRSetMessage(const char* text) {
    Guarded([&] { mosaire::SetMessage(text); });
}

MOSAIRE_API void MOSAIRE_CALL QRSetSize(int32_t width, int32_t height) {
    Guarded([&] { mosaire::SetSize(width, height); });
}

MOSAIRE_API void MOSAIRE_CALL QRConfigure(int32_t version, int32_t ecLevel, int32_t mask) {
    Guarded([&] { mosaire::Configure(version, ecLevel, mask); });
}

MOSAIRE_API void MOSAIRE_CALL QRAppearance(double moduleWidthCm, int32_t orientation, int32_t frameStyle) {
    Guarded([&] { mosaire::Appearance(moduleWidthCm, orientation, frameStyle); });
}

MOSAIRE_API void MOSAIRE_CALL QRSetBackColor(int32_t red, int32_t green, int32_t blue) {
    Guarded([&] { mosaire::SetBackColor(red, green, blue); });
}

MOSAIRE_API void MOSAIRE_CALL QRSetBarColor(int32_t red, int32_t green, int32_t blue) {
    Guarded([&] { mosaire::SetBarColor(red, green, blue); });
}

MOSAIRE_API void MOSAIRE_CALL QRSetDefault(void) {
    Guarded([] { mosaire::SetDefault(); });
}

MOSAIRE_API void MOSAIRE_CALL QRRender(QRDC dc, int32_t x, int32_t y) {
    if (dc == nullptr) return;
    Guarded([&] {
        const auto context = mosaire::CallerContext(dc);
        mosaire::Render(mosaire::Settings(), *context, static_cast<uint16_t>(x), static_cast<uint16_t>(y));
    });
}

MOSAIRE_API void MOSAIRE_CALL QRGetActualSize(int32_t useScreen, QRDC dc, int32_t* width, int32_t* height) {
    Guarded([&] {
        int32_t edge = 0;
        if (static_cast<uint16_t>(useScreen) == 0xFFFF) {
            edge = mosaire::ActualSize(mosaire::Settings(), *platform::Screen());
        } else {
            edge = mosaire::ActualSize(mosaire::Settings(), *mosaire::CallerContext(dc));
        }
        if (width != nullptr) *width = edge;
        if (height != nullptr) *height = edge;
    });
}

MOSAIRE_API void MOSAIRE_CALL QRGetActualRC(int16_t* rows, int16_t* cols) {
    Guarded([&] {
        const int16_t n = mosaire::ActualModules(mosaire::Settings());
        if (rows != nullptr) *rows = n;
        if (cols != nullptr) *cols = n;
    });
}

MOSAIRE_API int16_t MOSAIRE_CALL QRSaveAsBMP(const char* path) {
    if (path == nullptr) return kFalse;
    return Guarded(kFalse, [&] { return Truth(mosaire::SaveAsBmp(mosaire::Settings(), path)); });
}

MOSAIRE_API int16_t MOSAIRE_CALL QRSaveAsWMF(const char* path) {
    if (path == nullptr) return kFalse;
    return Guarded(kFalse, [&] { return Truth(mosaire::SaveAsWmf(mosaire::Settings(), path)); });
}

MOSAIRE_API int16_t MOSAIRE_CALL QRCopyToClipboard(void) {
    return Guarded(kFalse, [] { return Truth(mosaire::CopyToClipboard(mosaire::Settings())); });
}

MOSAIRE_API int16_t MOSAIRE_CALL QRGetPatternData(unsigned char* buffer, uint32_t* size, int16_t* rows, int16_t* cols) {
    if (size == nullptr) return kFalse;
    return Guarded(kFalse,
                   [&] { return Truth(mosaire::GetPatternData(mosaire::Settings(), buffer, *size, rows, cols)); });
}

}  // extern "C"
