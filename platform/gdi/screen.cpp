#include "gdi/screen.h"

namespace platform {

std::unique_ptr<DeviceContext> Screen() { return std::make_unique<ScreenContext>(); }

}  // namespace platform
