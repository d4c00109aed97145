#include "gdi/screen.h"

#include "gdi/gdi_context.h"

namespace platform {

namespace {

// The display's context, released when done.
class DisplayContext final : public GdiContext {
public:
    explicit DisplayContext(HDC dc) : GdiContext(dc) {}
    ~DisplayContext() override {
        Restore();
        ReleaseDC(nullptr, Handle());
    }
};

}  // namespace

std::unique_ptr<DeviceContext> Screen() {
    if (HDC dc = GetDC(nullptr)) return std::make_unique<DisplayContext>(dc);
    return std::make_unique<ScreenContext>();
}

}  // namespace platform
