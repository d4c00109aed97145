// The device context a caller hands to QRRender and QRGetActualSize, seen as
// a platform device context: on Windows the caller's GDI context itself,
// elsewhere the caller's table of callbacks (a missing callback does
// nothing; missing resolutions read as 0).
#pragma once

#include <memory>

#include "gdi/device_context.h"
#include "mosaire.h"

namespace mosaire {

std::unique_ptr<platform::DeviceContext> CallerContext(QRDC dc);

}  // namespace mosaire
