#include "image/image_file.h"

#include <cmath>
#include <cstring>
#include <new>

#include "filemap/mapped_file.h"
#include "image/codecs/codecs.h"

namespace platform {

namespace {

int DotsPerMetreToDpi(int dotsPerMetre) { return static_cast<int>(std::lround(dotsPerMetre * 0.0254)); }

}  // namespace

struct ImageFile::Decoded : codecs::Picture {};

ImageFile::ImageFile() = default;
ImageFile::~ImageFile() = default;

ImageStatus ImageFile::Load(const std::string& path, int maxSide, int64_t maxPixels) {
    image_.reset();
    // No picture within the limits takes more than 8 bytes a pixel in any
    // format read here (a 64-bit uncompressed TIFF), so a larger file is
    // refused before it is read.
    const MappedFile file(path.c_str(), maxPixels * 8 + (int64_t{1} << 20));
    switch (file.Status()) {
        case OpenStatus::kOpened:
            break;
        case OpenStatus::kNotFound:
            return ImageStatus::kNotFound;
        case OpenStatus::kDenied:
            return ImageStatus::kDenied;
        case OpenStatus::kNotRegular:
            return ImageStatus::kNotRegular;
        case OpenStatus::kTooLarge:
            return ImageStatus::kTooLarge;
        case OpenStatus::kFailed:
            return ImageStatus::kUnreadable;
    }
    auto image = std::unique_ptr<Decoded>(new (std::nothrow) Decoded);
    if (!image) return ImageStatus::kOutOfMemory;
    const ImageStatus status =
        codecs::Decode({file.Data(), static_cast<size_t>(file.Size())}, {maxSide, maxPixels}, *image);
    if (status == ImageStatus::kOk) image_ = std::move(image);
    return status;
}

int ImageFile::Width() const { return image_ ? image_->width : 0; }
int ImageFile::Height() const { return image_ ? image_->height : 0; }
bool ImageFile::IsMono() const { return image_ && image_->mono; }
int ImageFile::DpiX() const { return image_ ? DotsPerMetreToDpi(image_->dotsPerMetreX) : 0; }
int ImageFile::DpiY() const { return image_ ? DotsPerMetreToDpi(image_->dotsPerMetreY) : 0; }

void ImageFile::ReadRow(int y, int x, int count, uint32_t* out) const {
    if (!image_) return;
    const uint32_t* row = image_->pixels.data() + static_cast<size_t>(y) * static_cast<size_t>(image_->width);
    std::memcpy(out, row + x, static_cast<size_t>(count) * sizeof(uint32_t));
}

}  // namespace platform
