#include "caller_context.h"

namespace mosaire {

int CallerContext::ResolutionX() const {
    return dc_ != nullptr && dc_->resolutionX != nullptr ? dc_->resolutionX(dc_) : 0;
}

int CallerContext::ResolutionY() const {
    return dc_ != nullptr && dc_->resolutionY != nullptr ? dc_->resolutionY(dc_) : 0;
}

int CallerContext::MapMode() const {
    return dc_ != nullptr && dc_->getMapMode != nullptr ? dc_->getMapMode(dc_) : platform::kMapModeText;
}

int CallerContext::SetMapMode(int mode) {
    const int previous = MapMode();
    if (dc_ == nullptr || dc_->setMapMode == nullptr) return previous;
    return dc_->setMapMode(dc_, mode);
}

void CallerContext::FillRect(int left, int top, int right, int bottom, platform::ColorRef color) {
    if (dc_ != nullptr && dc_->fillRect != nullptr) dc_->fillRect(dc_, left, top, right, bottom, color);
}

void CallerContext::Line(int x0, int y0, int x1, int y1) {
    if (dc_ != nullptr && dc_->line != nullptr) dc_->line(dc_, x0, y0, x1, y1);
}

}  // namespace mosaire
