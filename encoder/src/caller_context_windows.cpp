#include "caller_context.h"

#include "gdi/gdi_context.h"

namespace mosaire {

std::unique_ptr<platform::DeviceContext> CallerContext(QRDC dc) { return std::make_unique<platform::GdiContext>(dc); }

}  // namespace mosaire
