#include "picture_reader.h"

#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <new>
#include <strings.h>
#include <sys/stat.h>
#include <unistd.h>

#include <exception>

#include "bmp_reader.h"
#include "general_loader.h"
#include "jpeg_reader.h"

namespace lectavo {

bool GrayPicture::Allocate(int w, int h) {
    if (w < 0 || h < 0) return false;
    try {
        pixels.assign(static_cast<size_t>(w) * static_cast<size_t>(h), 0);
    } catch (const std::exception&) {  // bad_alloc, or length_error for absurd sizes
        pixels.clear();
        return false;
    }
    width = w;
    height = h;
    return true;
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

namespace {

enum class Kind { kBmp, kJpeg, kOther };

Kind KindOf(const char* path) {
    const char* dot = std::strrchr(path, '.');
    if (!dot) return Kind::kOther;
    if (strcasecmp(dot, ".bmp") == 0 || strcasecmp(dot, ".dib") == 0) return Kind::kBmp;
    if (strcasecmp(dot, ".jpg") == 0 || strcasecmp(dot, ".jpeg") == 0) return Kind::kJpeg;
    return Kind::kOther;
}

}  // namespace

int ReadPicture(const char* path, const PictureRect* rect, GrayPicture& out) {
    out = GrayPicture{};
    int code = kUnreadable;
    switch (KindOf(path)) {
        case Kind::kBmp:
            code = ReadBmp(path, rect, out);
            break;
        case Kind::kJpeg:
            code = ReadJpeg(path, rect, out);
            break;
        case Kind::kOther:
            break;
    }
    if (code != kUnreadable) return code;
    out = GrayPicture{};
    return LoadGeneral(path, rect, out);
}

}  // namespace lectavo
