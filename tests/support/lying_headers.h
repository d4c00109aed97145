// Picture files whose header announces more than the file holds (PNG, GIF,
// JPEG, BMP, TIFF, WebP), and truncated files: shared by the decoder's
// hostile-file test, the crafted-file writer and the memory measurement.
#pragma once

#include <zlib.h>

#include <cstdint>
#include <cstring>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

#include "picture_files.h"

namespace testfiles {

inline void PutBig16(std::vector<uint8_t>& b, size_t at, uint32_t v) {
    b[at] = static_cast<uint8_t>(v >> 8);
    b[at + 1] = static_cast<uint8_t>(v);
}
inline void PutBig32(std::vector<uint8_t>& b, size_t at, uint32_t v) {
    for (int i = 0; i < 4; ++i) b[at + i] = static_cast<uint8_t>(v >> (24 - 8 * i));
}

inline std::vector<uint8_t> SmallPng() {
    PngLayout s;
    s.pixel = [](int x, int y) -> uint32_t { return (x ^ y) & 1 ? 255 : 0; };
    return MakePng(s);
}

// The PNG with its header announcing width x height (checksum corrected).
inline std::vector<uint8_t> PngClaiming(uint32_t width, uint32_t height) {
    std::vector<uint8_t> b = SmallPng();
    PutBig32(b, 16, width);
    PutBig32(b, 20, height);
    PutBig32(b, 29, static_cast<uint32_t>(crc32(0, b.data() + 12, 17)));
    return b;
}

inline std::vector<uint8_t> GifClaiming(uint16_t width, uint16_t height) {
    std::vector<uint8_t> b = MakeGif(33, 27, [](int x, int) { return x >= 11; });
    Put16(b, 6, width);  // screen
    Put16(b, 8, height);
    const size_t image = 13 + 3 * 128;  // after the global colour table
    Put16(b, image + 5, width);
    Put16(b, image + 7, height);
    return b;
}

inline std::vector<uint8_t> JpegClaiming(uint16_t width, uint16_t height) {
    const std::string path = TempPath("source.jpg");
    WriteJpeg(path, 30, 30, 1, [](int x, int, int) { return static_cast<uint8_t>(x * 8); });
    std::ifstream in(path, std::ios::binary);
    std::vector<uint8_t> b((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    for (size_t i = 2; i + 9 < b.size(); ++i)
        if (b[i] == 0xFF && b[i + 1] == 0xC0) {
            PutBig16(b, i + 5, height);
            PutBig16(b, i + 7, width);
            break;
        }
    return b;
}

// A BMP of nothing but its 54 bytes of headers, announcing width x height
// (8 bits, so that only the size decides).
inline std::vector<uint8_t> BmpHeaderClaiming(uint32_t width, uint32_t height) {
    BmpLayout s;
    s.width = s.height = 1;
    std::vector<uint8_t> b = MakeBmp(s);
    b.resize(54);
    Put32(b, 10, 54);
    Put32(b, 18, width);
    Put32(b, 22, height);
    return b;
}

// An uncompressed 8-bit TIFF announcing width x height, with one strip that
// the file does not hold.
inline std::vector<uint8_t> TiffClaiming(uint32_t width, uint32_t height) {
    const uint16_t count = 8;
    std::vector<uint8_t> b(8 + 2 + 12 * count + 4 + 64, 0);
    b[0] = b[1] = 'I';
    Put16(b, 2, 42);
    Put32(b, 4, 8);
    Put16(b, 8, count);
    struct Entry {
        uint16_t tag, type;
        uint32_t value;
    };
    const Entry entries[count] = {{256, 4, width}, {257, 4, height}, {258, 3, 8},      {259, 3, 1},
                                  {262, 3, 1},     {273, 4, 150},    {278, 4, height}, {279, 4, width * height}};
    for (int i = 0; i < count; ++i) {
        const size_t at = 10 + 12 * static_cast<size_t>(i);
        Put16(b, at, entries[i].tag);
        Put16(b, at + 2, entries[i].type);
        Put32(b, at + 4, 1);
        Put32(b, at + 8, entries[i].value);
    }
    return b;
}

// A lossless WebP header announcing width x height, and no picture data.
inline std::vector<uint8_t> WebpClaiming(uint32_t width, uint32_t height) {
    std::vector<uint8_t> b(40, 0);
    std::memcpy(b.data(), "RIFF", 4);
    std::memcpy(b.data() + 8, "WEBPVP8L", 8);
    b[20] = 0x2F;
    Put32(b, 21, (width - 1) | (height - 1) << 14);
    Put32(b, 4, static_cast<uint32_t>(b.size() - 8));
    Put32(b, 16, static_cast<uint32_t>(b.size() - 20));
    return b;
}

inline std::vector<uint8_t> Half(std::vector<uint8_t> b) {
    b.resize(b.size() / 2);
    return b;
}

}  // namespace testfiles
