#include "image/image_file.h"

#include <QImage>
#include <QImageReader>
#include <QString>

#include <cmath>
#include <cstring>
#include <new>

namespace platform {

namespace {

int DotsPerMeterToDpi(int dotsPerMeter) { return static_cast<int>(std::lround(dotsPerMeter * 0.0254)); }

}  // namespace

struct ImageFile::Decoded : QImage {
    using QImage::QImage;
};

ImageFile::ImageFile() = default;
ImageFile::~ImageFile() = default;

ImageStatus ImageFile::Load(const std::string& path, int maxSide, int64_t maxPixels) {
    image_.reset();
    const QString name = QString::fromLocal8Bit(path.data(), static_cast<qsizetype>(path.size()));
    auto fits = [&](QSize size) {
        return size.width() <= maxSide && size.height() <= maxSide &&
               static_cast<int64_t>(size.width()) * size.height() <= maxPixels;
    };
    // The content decides the format, as a misnamed file (a JPEG called
    // .bmp, a BMP called .dib) is common; the name is the second chance for
    // formats without a recognisable signature.
    for (const bool byContent : {true, false}) {
        QImageReader reader(name);
        reader.setDecideFormatFromContent(byContent);
        reader.setAutoTransform(false);
        const QSize announced = reader.size();
        if (announced.isValid() && !fits(announced)) return ImageStatus::kTooLarge;
        auto image = std::make_unique<Decoded>();
        if (!reader.read(image.get()) || image->isNull()) continue;
        if (!fits(image->size())) return ImageStatus::kTooLarge;
        image_ = std::move(image);
        return ImageStatus::kOk;
    }
    return ImageStatus::kUnreadable;
}

int ImageFile::Width() const { return image_ ? image_->width() : 0; }
int ImageFile::Height() const { return image_ ? image_->height() : 0; }

bool ImageFile::IsMono() const {
    return image_ && (image_->format() == QImage::Format_Mono || image_->format() == QImage::Format_MonoLSB);
}

int ImageFile::DpiX() const { return image_ ? DotsPerMeterToDpi(image_->dotsPerMeterX()) : 0; }
int ImageFile::DpiY() const { return image_ ? DotsPerMeterToDpi(image_->dotsPerMeterY()) : 0; }

void ImageFile::ReadRow(int y, int x, int count, uint32_t* out) const {
    if (!image_) return;
    const QImage::Format format = image_->format();
    if (format == QImage::Format_ARGB32 || format == QImage::Format_RGB32) {
        const auto* row = reinterpret_cast<const uint32_t*>(image_->constScanLine(y));
        std::memcpy(out, row + x, static_cast<size_t>(count) * sizeof(uint32_t));
        return;
    }
    // Other formats (indexed, 16-bit, premultiplied, ...): the reader's own
    // conversion, pixel by pixel, reading colours rather than indexes.
    for (int i = 0; i < count; ++i) out[i] = static_cast<uint32_t>(image_->pixel(x + i, y));
}

}  // namespace platform
