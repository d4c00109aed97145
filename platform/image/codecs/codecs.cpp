#include "image/codecs/codecs.h"

#include <cstring>

namespace platform::codecs {

namespace {

bool StartsWith(Bytes file, const char* magic, size_t length) {
    return file.size >= length && std::memcmp(file.data, magic, length) == 0;
}

}  // namespace

ImageStatus Allocate(Picture& picture, int width, int height) {
    try {
        picture.pixels.assign(static_cast<size_t>(width) * static_cast<size_t>(height), 0);
    } catch (const std::bad_alloc&) {
        picture.pixels = {};
        return ImageStatus::kOutOfMemory;
    }
    picture.width = width;
    picture.height = height;
    return ImageStatus::kOk;
}

Format Sniff(Bytes file) {
    if (StartsWith(file, "\x89PNG\r\n\x1a\n", 8)) return Format::kPng;
    if (StartsWith(file, "GIF87a", 6) || StartsWith(file, "GIF89a", 6)) return Format::kGif;
    if (StartsWith(file, "II*\0", 4) || StartsWith(file, "MM\0*", 4) || StartsWith(file, "II+\0", 4) ||
        StartsWith(file, "MM\0+", 4))
        return Format::kTiff;
    if (file.size >= 12 && StartsWith(file, "RIFF", 4) && std::memcmp(file.data + 8, "WEBP", 4) == 0)
        return Format::kWebp;
    if (StartsWith(file, "\xff\xd8\xff", 3)) return Format::kJpeg;
    if (StartsWith(file, "BM", 2)) return Format::kBmp;
    if (file.size >= 3 && file.data[0] == 'P' && file.data[1] >= '1' && file.data[1] <= '6' &&
        std::strchr(" \t\r\n#", file.data[2]) != nullptr && file.data[2] != 0)
        return Format::kPnm;
    return Format::kUnknown;
}

ImageStatus Decode(Bytes file, const Limits& limits, Picture& out) {
    switch (Sniff(file)) {
        case Format::kPng:
            return DecodePng(file, limits, out);
        case Format::kGif:
            return DecodeGif(file, limits, out);
        case Format::kTiff:
            return DecodeTiff(file, limits, out);
        case Format::kWebp:
            return DecodeWebp(file, limits, out);
        case Format::kJpeg:
            return DecodeJpeg(file, limits, out);
        case Format::kBmp:
            return DecodeBmp(file, limits, out);
        case Format::kPnm:
            return DecodePnm(file, limits, out);
        case Format::kUnknown:
            break;
    }
    return ImageStatus::kUnreadable;
}

}  // namespace platform::codecs
