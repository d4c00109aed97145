#include "bmp_file.h"

#include <QSaveFile>

#include <cstdint>
#include <limits>

namespace vistrel {
namespace {

constexpr std::uint32_t kHeadersSize = 14 + 40;
constexpr std::int32_t kPixelsPerMetre = 3780;  // 96 dots per inch

void Put16(char*& out, std::uint16_t value) {
    for (int i = 0; i < 2; ++i) *out++ = static_cast<char>((value >> (8 * i)) & 0xFF);
}

void Put32(char*& out, std::uint32_t value) {
    for (int i = 0; i < 4; ++i) *out++ = static_cast<char>((value >> (8 * i)) & 0xFF);
}

}  // namespace

QByteArray EncodeBmp24(const QImage& image) {
    if (image.isNull() || image.width() <= 0 || image.height() <= 0) {
        return {};
    }
    const std::uint64_t width = static_cast<std::uint64_t>(image.width());
    const std::uint64_t height = static_cast<std::uint64_t>(image.height());
    const std::uint64_t stride = (width * 3 + 3) / 4 * 4;
    const std::uint64_t file_size = kHeadersSize + stride * height;
    if (file_size > static_cast<std::uint64_t>(std::numeric_limits<std::int32_t>::max())) {
        return {};
    }
    const QImage rgb = image.convertToFormat(QImage::Format_RGB888);
    if (rgb.isNull()) {
        return {};
    }

    QByteArray file(static_cast<qsizetype>(file_size), '\0');
    char* out = file.data();
    *out++ = 'B';
    *out++ = 'M';
    Put32(out, static_cast<std::uint32_t>(file_size));
    Put32(out, 0);  // reserved
    Put32(out, kHeadersSize);
    Put32(out, 40);
    Put32(out, static_cast<std::uint32_t>(width));
    Put32(out, static_cast<std::uint32_t>(height));  // positive: bottom-up rows
    Put16(out, 1);
    Put16(out, 24);
    Put32(out, 0);  // no compression
    Put32(out, static_cast<std::uint32_t>(stride * height));
    Put32(out, kPixelsPerMetre);
    Put32(out, kPixelsPerMetre);
    Put32(out, 0);
    Put32(out, 0);

    for (std::uint64_t row = 0; row < height; ++row) {
        const uchar* source = rgb.constScanLine(static_cast<int>(height - 1 - row));
        char* target = file.data() + kHeadersSize + row * stride;
        for (std::uint64_t x = 0; x < width; ++x) {
            target[3 * x + 0] = static_cast<char>(source[3 * x + 2]);
            target[3 * x + 1] = static_cast<char>(source[3 * x + 1]);
            target[3 * x + 2] = static_cast<char>(source[3 * x + 0]);
        }
    }
    return file;
}

bool WriteBmp24(const QImage& image, const QString& path) {
    if (path.isEmpty()) {
        return false;
    }
    const QByteArray bytes = EncodeBmp24(image);
    if (bytes.isEmpty()) {
        return false;
    }
    QSaveFile file(path);
    if (!file.open(QIODevice::WriteOnly)) {
        return false;
    }
    if (file.write(bytes) != bytes.size()) {
        file.cancelWriting();
        return false;
    }
    return file.commit();
}

}  // namespace vistrel
