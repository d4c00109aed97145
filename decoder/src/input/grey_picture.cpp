#include "input/grey_picture.h"

namespace lectavo {

void GrayPicture::Allocate(int w, int h) {
    if (w < 0 || h < 0) w = h = 0;
    pixels.assign(static_cast<size_t>(w) * static_cast<size_t>(h), 0);
    width = w;
    height = h;
}

bool ClipToPicture(int width, int height, const PictureRect* rect, PictureRect& window) {
    window = PictureRect{0, 0, width, height};
    if (rect) {
        window.left = rect->left < 0 ? 0 : rect->left;
        window.top = rect->top < 0 ? 0 : rect->top;
        if (window.left >= width || window.top >= height) return false;
        window.right = rect->right < width ? rect->right : width;
        window.bottom = rect->bottom < height ? rect->bottom : height;
    }
    return static_cast<int64_t>(window.right) - window.left >= kMinPictureSide &&
           static_cast<int64_t>(window.bottom) - window.top >= kMinPictureSide;
}

}  // namespace lectavo
