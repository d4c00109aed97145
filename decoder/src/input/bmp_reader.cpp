#include "input/bmp_reader.h"

#include <cstring>

#include "filemap/mapped_file.h"

namespace lectavo {

namespace {

constexpr int64_t kFileHeaderSize = 14;
constexpr int64_t kInfoHeaderSize = 40;

uint16_t U16(const uint8_t* p) { return static_cast<uint16_t>(p[0] | (p[1] << 8)); }
uint32_t U32(const uint8_t* p) {
    return static_cast<uint32_t>(p[0]) | (static_cast<uint32_t>(p[1]) << 8) | (static_cast<uint32_t>(p[2]) << 16) |
           (static_cast<uint32_t>(p[3]) << 24);
}
int32_t I32(const uint8_t* p) { return static_cast<int32_t>(U32(p)); }

// Palette greys; entries the file does not hold (a short colour table, or a
// file ending inside it) are black.
void ReadPalette(const platform::MappedFile& file, int bitCount, uint8_t (&greys)[256]) {
    std::memset(greys, 0, sizeof greys);
    const uint8_t* base = file.Data();
    const int64_t start = kFileHeaderSize + U32(base + 14);
    int64_t entries = int64_t{1} << bitCount;
    const uint32_t used = U32(base + 46);
    if (used != 0 && used < entries) entries = used;
    const int64_t available = start < file.Size() ? (file.Size() - start) / 4 : 0;
    if (entries > available) entries = available;
    for (int64_t i = 0; i < entries; ++i) {
        const uint8_t* quad = base + start + 4 * i;
        greys[i] = GreyOf(quad[2], quad[1], quad[0]);
    }
}

void ConvertRows(const uint8_t* pixelData, int64_t stride, int height, int bitCount, const uint8_t (&palette)[256],
                 const PictureRect& w, uint8_t* grey) {
    for (int y = w.top; y < w.bottom; ++y) {
        const uint8_t* row = pixelData + static_cast<int64_t>(height - 1 - y) * stride;
        for (int x = w.left; x < w.right; ++x) {
            uint8_t value;
            switch (bitCount) {
                case 1:
                    value = palette[(row[x / 8] >> (7 - x % 8)) & 1];
                    break;
                case 4:
                    value = palette[x % 2 == 0 ? row[x / 2] >> 4 : row[x / 2] & 0x0F];
                    break;
                case 8:
                    value = palette[row[x]];
                    break;
                default: {
                    const uint8_t* bgr = row + 3 * static_cast<int64_t>(x);
                    value = GreyOf(bgr[2], bgr[1], bgr[0]);
                }
            }
            *grey++ = value;
        }
    }
}

}  // namespace

int ReadBmp(const char* path, const PictureRect* rect, GrayPicture& out) {
    // No BMP within the size limits is longer than 4 bytes a pixel and its
    // headers.
    const platform::MappedFile file(path, kMaxPicturePixels * 4 + (int64_t{1} << 20));
    switch (file.Status()) {
        case platform::OpenStatus::kOpened:
            break;
        case platform::OpenStatus::kNotFound:
            return kFileNotFound;
        case platform::OpenStatus::kDenied:
            return kSharingViolation;
        default:
            // Not a regular file, too long, or a read error: the general
            // loader gives the code.
            return kUnreadable;
    }
    if (file.Size() < kFileHeaderSize + kInfoHeaderSize) return kUnreadable;

    const uint8_t* base = file.Data();
    const int64_t headerSize = U32(base + 14);
    if (U16(base) != 0x4D42 || U32(base + 30) != 0 || I32(base + 22) < 0 || U32(base + 38) != U32(base + 42) ||
        headerSize < kInfoHeaderSize || kFileHeaderSize + headerSize > file.Size())
        return kUnreadable;
    const int32_t width = I32(base + 18);
    const int32_t height = I32(base + 22);
    const int64_t dataStart = U32(base + 10);
    if (width <= 0 || height <= 0) return kUnreadable;

    PictureRect window;
    if (!ClipToPicture(width, height, rect, window)) return 0;

    const int bitCount = U16(base + 28);
    if (bitCount != 1 && bitCount != 4 && bitCount != 8 && bitCount != 24) return kUnreadable;
    const int64_t stride = (static_cast<int64_t>(width) * bitCount + 31) / 32 * 4;
    if (stride == 0 || dataStart > file.Size() || file.Size() - dataStart < stride * height) return kUnreadable;
    if (!WithinSizeLimit(width, height)) return kUnreadable;

    out.bilevel = bitCount == 1;
    out.Allocate(window.right - window.left, window.bottom - window.top);
    uint8_t palette[256];
    if (bitCount != 24) ReadPalette(file, bitCount, palette);
    ConvertRows(base + dataStart, stride, height, bitCount, palette, window, out.pixels.data());

    GreyRange range;
    if (bitCount == 1) {
        range.Add(palette[0]);
        range.Add(palette[1]);
    } else {
        range.AddAll(out.pixels.data(), out.pixels.size());
    }
    out.threshold = range.Threshold();
    return 0;
}

}  // namespace lectavo
