#include "caller_context.h"

namespace mosaire {

namespace {

class CallbackContext final : public platform::DeviceContext {
public:
    explicit CallbackContext(QRDeviceContext* dc) : dc_(dc) {}

    int ResolutionX() const override {
        return dc_ != nullptr && dc_->resolutionX != nullptr ? dc_->resolutionX(dc_) : 0;
    }
    int ResolutionY() const override {
        return dc_ != nullptr && dc_->resolutionY != nullptr ? dc_->resolutionY(dc_) : 0;
    }
    int MapMode() const override {
        return dc_ != nullptr && dc_->getMapMode != nullptr ? dc_->getMapMode(dc_) : platform::kMapModeText;
    }
    int SetMapMode(int mode) override {
        const int previous = MapMode();
        if (dc_ == nullptr || dc_->setMapMode == nullptr) return previous;
        return dc_->setMapMode(dc_, mode);
    }
    void FillRect(int left, int top, int right, int bottom, platform::ColorRef color) override {
        if (dc_ != nullptr && dc_->fillRect != nullptr) dc_->fillRect(dc_, left, top, right, bottom, color);
    }
    void Line(int x0, int y0, int x1, int y1) override {
        if (dc_ != nullptr && dc_->line != nullptr) dc_->line(dc_, x0, y0, x1, y1);
    }

private:
    QRDeviceContext* dc_;
};

}  // namespace

std::unique_ptr<platform::DeviceContext> CallerContext(QRDC dc) { return std::make_unique<CallbackContext>(dc); }

}  // namespace mosaire
