#include "general_loader.h"

#include <cerrno>
#include <new>
#include <unistd.h>
#include <vector>

#include "image/image_file.h"

namespace lectavo {

namespace {

int OpenCheck(const char* path) {
    const int fd = OpenForReading(path);
    if (fd >= 0) {
        ::close(fd);
        return 0;
    }
    return errno == EACCES || errno == EPERM ? kSharingViolation : kFileNotFound;
}

// Copies picture pixels row by row through `row` (columns first..first +
// span - 1 of one picture row, as ARGB). Destination row r reads picture row
// sourceRow(r); destination column c reads picture column sourceColumn(c).
template <class RowOf, class ColumnOf>
void Convert(const platform::ImageFile& image, int first, int span, int outWidth, int outHeight, RowOf sourceRow,
             ColumnOf sourceColumn, std::vector<uint32_t>& row, uint8_t* grey) {
    int loadedRow = -1;
    for (int r = 0; r < outHeight; ++r) {
        const int y = sourceRow(r);
        if (y != loadedRow) {
            image.ReadRow(y, first, span, row.data());
            loadedRow = y;
        }
        for (int c = 0; c < outWidth; ++c) {
            const uint32_t argb = row[static_cast<size_t>(sourceColumn(c) - first)];
            *grey++ = GreyOf((argb >> 16) & 0xFF, (argb >> 8) & 0xFF, argb & 0xFF);
        }
    }
}

}  // namespace

int LoadGeneral(const char* path, const PictureRect* rect, GrayPicture& out) {
    if (const int code = OpenCheck(path)) return code;
    platform::ImageFile image;
    switch (image.Load(path, kMaxPictureSide, kMaxPicturePixels)) {
        case platform::ImageStatus::kOk: break;
        case platform::ImageStatus::kUnreadable: return kUnreadable;
        case platform::ImageStatus::kTooLarge:
        case platform::ImageStatus::kOutOfMemory: return kOutOfMemory;
    }
    PictureRect window;
    if (!ClipToPicture(image.Width(), image.Height(), rect, window)) return 0;
    out.bilevel = image.IsMono();
    const int dpiX = image.DpiX(), dpiY = image.DpiY();
    const int width = window.right - window.left, height = window.bottom - window.top;

    // Stretch along the axis of lower resolution. The stretched picture's
    // pixel (c, r) is the picture pixel ((left + c) / scale x, (top + r) /
    // scale y), truncated: the window's coordinates are divided by the scale
    // as a whole, which is the mapping GetSymbolePosition inverts.
    int outWidth = width, outHeight = height;
    if (dpiX != dpiY && dpiX > 0 && dpiY > 0) {
        if (dpiX > dpiY) {
            out.scaleY = static_cast<float>(dpiX) / static_cast<float>(dpiY);
            outHeight = static_cast<int>(static_cast<float>(height) * out.scaleY);
        } else {
            out.scaleX = static_cast<float>(dpiY) / static_cast<float>(dpiX);
            outWidth = static_cast<int>(static_cast<float>(width) * out.scaleX);
        }
        if (!WithinSizeLimit(outWidth, outHeight)) return kOutOfMemory;
    }

    const float scaleX = out.scaleX, scaleY = out.scaleY;
    // The picture columns read: from left / scale x up to the window's right
    // edge (the last destination column stays left of it). Sources are held
    // inside that span and the window's rows against rounding.
    const int first = static_cast<int>(static_cast<float>(window.left) / scaleX);
    const int span = window.right - first;
    auto rowOf = [&](int r) {
        const int y = static_cast<int>(static_cast<float>(window.top + r) / scaleY);
        return y < window.bottom ? y : window.bottom - 1;
    };
    auto columnOf = [&](int c) {
        const int x = static_cast<int>(static_cast<float>(window.left + c) / scaleX);
        return x < first ? first : x < window.right ? x : window.right - 1;
    };

    std::vector<uint32_t> row;
    try {
        row.resize(static_cast<size_t>(span));
    } catch (const std::bad_alloc&) {
        return kOutOfMemory;
    }
    if (!out.Allocate(outWidth, outHeight)) return kOutOfMemory;
    Convert(image, first, span, outWidth, outHeight, rowOf, columnOf, row, out.pixels.data());

    GreyRange range;
    range.AddAll(out.pixels.data(), out.pixels.size());
    out.threshold = range.Threshold();
    return 0;
}

}  // namespace lectavo
