// JPEG files through the Windows Imaging Component. Files it rejects give
// kUnreadable so that the general loader can try them.
#include <vector>

#include "filemap/mapped_file.h"
#include "input/general_loader.h"
#include "input/jpeg_reader.h"

namespace lectavo {

int ReadJpeg(const char* path, const PictureRect* rect, GrayPicture& out) {
    switch (platform::CheckReadable(path)) {
        case platform::OpenStatus::kOpened:
            break;
        case platform::OpenStatus::kNotFound:
            return kFileNotFound;
        case platform::OpenStatus::kDenied:
            return kSharingViolation;
        case platform::OpenStatus::kNotRegular:
        case platform::OpenStatus::kTooLarge:
        case platform::OpenStatus::kFailed:
            return kUnreadable;
    }
    platform::ImageFile image;
    if (const int code = LoadWithinLimits(path, image)) return code;
    PictureRect window;
    if (!ClipToPicture(image.Width(), image.Height(), rect, window)) return 0;
    const int width = window.right - window.left;
    out.Allocate(width, window.bottom - window.top);
    std::vector<uint32_t> row(static_cast<size_t>(width));
    uint8_t* grey = out.pixels.data();
    for (int y = window.top; y < window.bottom; ++y) {
        image.ReadRow(y, window.left, width, row.data());
        for (const uint32_t argb : row) *grey++ = GreyOf((argb >> 16) & 0xFF, (argb >> 8) & 0xFF, argb & 0xFF);
    }
    GreyRange range;
    range.AddAll(out.pixels.data(), out.pixels.size());
    out.threshold = range.Threshold();
    return 0;
}

}  // namespace lectavo
