// A caller's QRDeviceContext seen as a platform device context. Missing
// callbacks do nothing; missing resolutions read as 0.
#pragma once

#include "gdi/device_context.h"
#include "mosaire.h"

namespace mosaire {

class CallerContext final : public platform::DeviceContext {
public:
    explicit CallerContext(QRDeviceContext* dc) : dc_(dc) {}

    int ResolutionX() const override;
    int ResolutionY() const override;
    int MapMode() const override;
    int SetMapMode(int mode) override;
    void FillRect(int left, int top, int right, int bottom, platform::ColorRef color) override;
    void Line(int x0, int y0, int x1, int y1) override;

private:
    QRDeviceContext* dc_;
};

}  // namespace mosaire
