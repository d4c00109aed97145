#include "input/picture_reader.h"

#include <cstring>
#include <strings.h>

#include "input/bmp_reader.h"
#include "input/general_loader.h"
#include "input/jpeg_reader.h"

namespace lectavo {

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
