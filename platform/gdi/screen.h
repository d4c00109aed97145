// The screen: a 96 x 96 dots-per-inch display. Its context reports the
// resolution and paints nothing (nothing is ever drawn on it directly).
#pragma once

#include <memory>

#include "gdi/device_context.h"

namespace platform {

inline constexpr int kScreenDpi = 96;
inline constexpr int kScreenWidthPixels = 1920;
inline constexpr int kScreenHeightPixels = 1080;

class ScreenContext final : public DeviceContext {
public:
    int ResolutionX() const override { return kScreenDpi; }
    int ResolutionY() const override { return kScreenDpi; }
    void FillRect(int, int, int, int, ColorRef) override {}
    void Line(int, int, int, int) override {}
};

// The screen's device context: ScreenContext, or on Windows the display's
// own context (ScreenContext when there is no display).
std::unique_ptr<DeviceContext> Screen();

}  // namespace platform
