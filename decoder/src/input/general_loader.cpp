#include "input/general_loader.h"

#include <vector>

#include "filemap/mapped_file.h"

namespace lectavo {

namespace {

int OpenCheck(const char* path) {
    switch (platform::CheckReadable(path)) {
        case platform::OpenStatus::kOpened:
            return 0;
        case platform::OpenStatus::kNotFound:
            return kFileNotFound;
        case platform::OpenStatus::kDenied:
            return kSharingViolation;
        default:
            return kUnreadable;
    }
}

// Copies the window row by row through `row` (one picture row of ARGB).
// Destination row r reads picture row sourceRow(r); destination column c reads
// window column sourceColumn(c).
template <class RowOf, class ColumnOf>
void Convert(const platform::ImageFile& image, const PictureRect& window, int outWidth, int outHeight, RowOf sourceRow,
             ColumnOf sourceColumn, std::vector<uint32_t>& row, uint8_t* grey) {
    const int span = window.right - window.left;
    int loadedRow = -1;
    for (int r = 0; r < outHeight; ++r) {
        const int y = sourceRow(r);
        if (y != loadedRow) {
            image.ReadRow(y, window.left, span, row.data());
            loadedRow = y;
        }
        for (int c = 0; c < outWidth; ++c) {
            const uint32_t argb = row[static_cast<size_t>(sourceColumn(c))];
            *grey++ = GreyOf((argb >> 16) & 0xFF, (argb >> 8) & 0xFF, argb & 0xFF);
        }
    }
}

}  // namespace

int LoadWithinLimits(const char* path, platform::ImageFile& image) {
    switch (image.Load(path, kMaxPictureSide, kMaxPicturePixels)) {
        case platform::ImageStatus::kOk:
            return 0;
        case platform::ImageStatus::kNotFound:
            return kFileNotFound;
        case platform::ImageStatus::kDenied:
            return kSharingViolation;
        case platform::ImageStatus::kUnreadable:
        case platform::ImageStatus::kTooLarge:  // an announced size beyond the limits
        case platform::ImageStatus::kNotRegular:
            return kUnreadable;
        case platform::ImageStatus::kOutOfMemory:
            break;
    }
    return kOutOfMemory;
}

int LoadGeneral(const char* path, const PictureRect* rect, GrayPicture& out) {
    if (const int code = OpenCheck(path)) return code;
    platform::ImageFile image;
    if (const int code = LoadWithinLimits(path, image)) return code;
    PictureRect window;
    if (!ClipToPicture(image.Width(), image.Height(), rect, window)) return 0;
    out.bilevel = image.IsMono();
    const int dpiX = image.DpiX(), dpiY = image.DpiY();
    const int width = window.right - window.left, height = window.bottom - window.top;

    // Stretch along the axis of lower resolution; the window keeps its
    // top-left corner and covers the same picture pixels.
    int outWidth = width, outHeight = height;
    if (dpiX != dpiY && dpiX > 0 && dpiY > 0) {
        // A file may state wildly unequal resolutions: the stretched side is
        // checked against the size limit before it is turned into an int.
        double stretched;
        if (dpiX > dpiY) {
            out.scaleY = static_cast<float>(dpiX) / static_cast<float>(dpiY);
            stretched = static_cast<double>(static_cast<float>(height) * out.scaleY);
        } else {
            out.scaleX = static_cast<float>(dpiY) / static_cast<float>(dpiX);
            stretched = static_cast<double>(static_cast<float>(width) * out.scaleX);
        }
        if (!(stretched <= static_cast<double>(kMaxPictureSide))) return kOutOfMemory;
        (dpiX > dpiY ? outHeight : outWidth) = static_cast<int>(stretched);
        if (!WithinSizeLimit(outWidth, outHeight)) return kOutOfMemory;
    }

    std::vector<uint32_t> row(static_cast<size_t>(width));
    out.Allocate(outWidth, outHeight);
    const float scaleX = out.scaleX, scaleY = out.scaleY;
    auto rowOf = [&](int r) {
        const int y = window.top + static_cast<int>(static_cast<float>(r) / scaleY);
        return y < window.bottom ? y : window.bottom - 1;
    };
    auto columnOf = [&](int c) {
        const int x = static_cast<int>(static_cast<float>(c) / scaleX);
        return x < width ? x : width - 1;
    };
    Convert(image, window, outWidth, outHeight, rowOf, columnOf, row, out.pixels.data());

    GreyRange range;
    range.AddAll(out.pixels.data(), out.pixels.size());
    out.threshold = range.Threshold();
    return 0;
}

}  // namespace lectavo
