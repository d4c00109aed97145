#include "input/grey_picture.h"

#include <cerrno>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

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

int OpenForReading(const char* path) {
    const int fd = ::open(path, O_RDONLY | O_CLOEXEC);
    if (fd < 0) return -1;
    struct stat info {};
    if (::fstat(fd, &info) != 0 || S_ISDIR(info.st_mode)) {
        const int error = S_ISDIR(info.st_mode) ? EISDIR : errno;
        ::close(fd);
        errno = error;
        return -1;
    }
    return fd;
}

}  // namespace lectavo
