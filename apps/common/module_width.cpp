#include "module_width.h"

namespace apps {
namespace {

// The encoder's output surfaces have the screen's resolution.
constexpr double kScreenDpi = 96.0;
constexpr int kUsualModulePixels = 8;
constexpr int kQuietZoneModules = 4;

}  // namespace

double FittingModuleWidthCm(int side, int picture_pixels) {
    if (side <= 0 || side * kUsualModulePixels <= picture_pixels) return kUsualModuleWidthCm;
    int pixels = picture_pixels / (side + 2 * kQuietZoneModules);
    if (pixels < 1) pixels = 1;
    // The encoder rounds the width back to pixels; a whole number of pixels
    // converted to centimetres and back lands on the same number.
    return pixels * 2.54 / kScreenDpi;
}

}  // namespace apps
