// Small picture files written by the tests themselves: BMP in every layout
// the readers care about, JPEG through libjpeg's compressor and PNG through
// libpng's (where they are present), GIF by hand.
#pragma once

#include <algorithm>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <functional>
#include <string>
#include <vector>

#include <unistd.h>
#if __has_include(<jpeglib.h>)
#include <jpeglib.h>
#define QR_TEST_JPEG_WRITER 1
#endif
#if __has_include(<png.h>) && !defined(_WIN32)
#include <png.h>
#define QR_TEST_PNG_WRITER 1
#endif

namespace testfiles {

// A folder for this process's files, removed when the process exits.
inline const std::string& TempDir() {
    static const std::string* dir = [] {
        auto base =
            std::filesystem::temp_directory_path() / ("lectavo_test_" + std::to_string(static_cast<long>(::getpid())));
        std::filesystem::create_directories(base);
        auto* path = new std::string(base.string());  // outlives every static destructor
        std::atexit([] {
            std::error_code ignored;
            std::filesystem::remove_all(*dir, ignored);
        });
        return path;
    }();
    return *dir;
}

inline std::string TempPath(const std::string& name) { return TempDir() + "/" + name; }

inline void WriteBytes(const std::string& path, const std::vector<uint8_t>& bytes) {
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    out.write(reinterpret_cast<const char*>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
}

inline void Put16(std::vector<uint8_t>& b, size_t at, uint32_t v) {
    b[at] = v & 0xFF;
    b[at + 1] = (v >> 8) & 0xFF;
}
inline void Put32(std::vector<uint8_t>& b, size_t at, uint32_t v) {
    for (int i = 0; i < 4; ++i) b[at + i] = (v >> (8 * i)) & 0xFF;
}

struct Bgr {
    uint8_t b, g, r;
};

struct BmpLayout {
    int width = 32, height = 32;
    int bitCount = 8;
    std::vector<Bgr> palette;                     // written as-is (may be short)
    std::function<uint32_t(int x, int y)> pixel;  // index, or 0xRRGGBB for 24 bits; y = 0 is the top row
    uint32_t ppmX = 3780, ppmY = 3780;
    uint32_t compression = 0;
    bool topDown = false;
    uint32_t headerSize = 40;
    uint32_t colorsUsed = 0;
};

inline std::vector<uint8_t> MakeBmp(const BmpLayout& s) {
    const size_t stride = (static_cast<size_t>(s.width) * s.bitCount + 31) / 32 * 4;
    const size_t paletteStart = 14 + s.headerSize;
    const size_t dataStart = paletteStart + 4 * s.palette.size();
    std::vector<uint8_t> b(dataStart + stride * s.height, 0);
    b[0] = 'B';
    b[1] = 'M';
    Put32(b, 2, static_cast<uint32_t>(b.size()));
    Put32(b, 10, static_cast<uint32_t>(dataStart));
    Put32(b, 14, s.headerSize);
    Put32(b, 18, static_cast<uint32_t>(s.width));
    Put32(b, 22, static_cast<uint32_t>(s.topDown ? -s.height : s.height));
    Put16(b, 26, 1);
    Put16(b, 28, static_cast<uint32_t>(s.bitCount));
    Put32(b, 30, s.compression);
    Put32(b, 38, s.ppmX);
    Put32(b, 42, s.ppmY);
    const size_t fullPalette = s.bitCount <= 8 ? size_t{1} << s.bitCount : 0;
    Put32(b, 46,
          s.colorsUsed                     ? s.colorsUsed
          : s.palette.size() < fullPalette ? static_cast<uint32_t>(s.palette.size())
                                           : 0);
    for (size_t i = 0; i < s.palette.size(); ++i) {
        b[paletteStart + 4 * i] = s.palette[i].b;
        b[paletteStart + 4 * i + 1] = s.palette[i].g;
        b[paletteStart + 4 * i + 2] = s.palette[i].r;
    }
    for (int y = 0; y < s.height; ++y) {
        const int fileRow = s.topDown ? y : s.height - 1 - y;
        uint8_t* row = &b[dataStart + stride * fileRow];
        for (int x = 0; x < s.width; ++x) {
            const uint32_t v = s.pixel ? s.pixel(x, y) : 0;
            switch (s.bitCount) {
                case 1:
                    row[x / 8] |= static_cast<uint8_t>((v & 1) << (7 - x % 8));
                    break;
                case 4:
                    row[x / 2] |= static_cast<uint8_t>(x % 2 ? v & 0xF : (v & 0xF) << 4);
                    break;
                case 8:
                    row[x] = static_cast<uint8_t>(v);
                    break;
                default:
                    row[3 * x] = v & 0xFF;
                    row[3 * x + 1] = (v >> 8) & 0xFF;
                    row[3 * x + 2] = (v >> 16) & 0xFF;
            }
        }
    }
    return b;
}

// An 8-bit BMP with a grey palette showing `grey` (width x height, top down).
inline std::vector<uint8_t> GreyBmp(const std::vector<uint8_t>& grey, int width, int height, uint32_t ppmX = 3780,
                                    uint32_t ppmY = 3780) {
    BmpLayout s;
    s.width = width;
    s.height = height;
    s.bitCount = 8;
    for (int i = 0; i < 256; ++i) s.palette.push_back({uint8_t(i), uint8_t(i), uint8_t(i)});
    s.pixel = [&](int x, int y) { return grey[static_cast<size_t>(y) * width + x]; };
    s.ppmX = ppmX;
    s.ppmY = ppmY;
    return MakeBmp(s);
}

#ifdef QR_TEST_JPEG_WRITER
// JPEG of `components` 1 (grey), 3 (RGB) or 4 (CMYK with Adobe-inverted
// inks); `sample(x, y, c)` gives each component. `progressiveFull`: a
// progressive file with every component at full resolution, what costs a
// reader most memory (every coefficient kept until the last scan).
inline void WriteJpeg(const std::string& path, int width, int height, int components,
                      const std::function<uint8_t(int, int, int)>& sample, int quality = 95,
                      bool progressiveFull = false) {
    jpeg_compress_struct info{};
    jpeg_error_mgr errors{};
    info.err = jpeg_std_error(&errors);
    jpeg_create_compress(&info);
    std::FILE* file = std::fopen(path.c_str(), "wb");
    jpeg_stdio_dest(&info, file);
    info.image_width = static_cast<JDIMENSION>(width);
    info.image_height = static_cast<JDIMENSION>(height);
    info.input_components = components;
    info.in_color_space = components == 1 ? JCS_GRAYSCALE : components == 3 ? JCS_RGB : JCS_CMYK;
    jpeg_set_defaults(&info);
    jpeg_set_quality(&info, quality, TRUE);
    if (progressiveFull) {
        for (int c = 0; c < info.num_components; ++c)
            info.comp_info[c].h_samp_factor = info.comp_info[c].v_samp_factor = 1;
        jpeg_simple_progression(&info);
    }
    jpeg_start_compress(&info, TRUE);
    std::vector<JSAMPLE> row(static_cast<size_t>(width) * components);
    while (info.next_scanline < info.image_height) {
        const int y = static_cast<int>(info.next_scanline);
        for (int x = 0; x < width; ++x)
            for (int c = 0; c < components; ++c) row[static_cast<size_t>(x) * components + c] = sample(x, y, c);
        JSAMPROW rows[1] = {row.data()};
        jpeg_write_scanlines(&info, rows, 1);
    }
    jpeg_finish_compress(&info);
    jpeg_destroy_compress(&info);
    std::fclose(file);
}
#endif

#ifdef QR_TEST_PNG_WRITER
struct PngLayout {
    int width = 32, height = 32;
    int bitDepth = 8;                      // 1, 2, 4, 8 or 16
    int colourType = PNG_COLOR_TYPE_GRAY;  // or PNG_COLOR_TYPE_RGB, _RGB_ALPHA, _GRAY_ALPHA, _PALETTE
    std::vector<uint32_t> palette;         // 0xRRGGBB
    // A grey or index, 0xRRGGBB, 0xAARRGGBB (8-bit RGB with alpha) or 0xAAGG (8-bit grey with alpha);
    // 16-bit: each sample is the value's low 16 bits. y = 0 is the top row.
    std::function<uint32_t(int x, int y)> pixel;
    uint32_t ppmX = 0, ppmY = 0;  // pHYs per metre when not 0
    bool interlaced = false;      // Adam7
};

inline std::vector<uint8_t> MakePng(const PngLayout& s) {
    std::vector<uint8_t> bytes;
    png_structp png = png_create_write_struct(PNG_LIBPNG_VER_STRING, nullptr, nullptr, nullptr);
    png_infop info = png_create_info_struct(png);
    png_set_write_fn(
        png, &bytes,
        [](png_structp p, png_bytep data, png_size_t n) {
            auto* out = static_cast<std::vector<uint8_t>*>(png_get_io_ptr(p));
            out->insert(out->end(), data, data + n);
        },
        nullptr);
    png_set_IHDR(png, info, static_cast<png_uint_32>(s.width), static_cast<png_uint_32>(s.height), s.bitDepth,
                 s.colourType, s.interlaced ? PNG_INTERLACE_ADAM7 : PNG_INTERLACE_NONE, PNG_COMPRESSION_TYPE_DEFAULT,
                 PNG_FILTER_TYPE_DEFAULT);
    std::vector<png_color> colours;
    for (uint32_t c : s.palette) colours.push_back({uint8_t(c >> 16), uint8_t(c >> 8), uint8_t(c)});
    if (!colours.empty()) png_set_PLTE(png, info, colours.data(), static_cast<int>(colours.size()));
    if (s.ppmX) png_set_pHYs(png, info, s.ppmX, s.ppmY, PNG_RESOLUTION_METER);
    png_write_info(png, info);
    const int passes = png_set_interlace_handling(png);
    const int channels = s.colourType == PNG_COLOR_TYPE_RGB          ? 3
                         : s.colourType == PNG_COLOR_TYPE_RGB_ALPHA  ? 4
                         : s.colourType == PNG_COLOR_TYPE_GRAY_ALPHA ? 2
                                                                     : 1;
    std::vector<uint8_t> row(static_cast<size_t>(s.width) * channels * 2 + 1);
    for (int y = 0; y < s.height * passes; ++y) {
        const int py = y % s.height;
        std::fill(row.begin(), row.end(), 0);
        for (int x = 0; x < s.width; ++x) {
            const uint32_t v = s.pixel ? s.pixel(x, py) : 0;
            if (s.bitDepth < 8) {
                const int perByte = 8 / s.bitDepth;
                const int shift = 8 - s.bitDepth * (x % perByte + 1);
                row[static_cast<size_t>(x / perByte)] |= static_cast<uint8_t>((v & ((1u << s.bitDepth) - 1)) << shift);
            } else if (s.bitDepth == 16) {
                row[2 * x] = uint8_t(v >> 8);
                row[2 * x + 1] = uint8_t(v);
            } else if (channels == 3 || channels == 4) {
                row[channels * x] = uint8_t(v >> 16);
                row[channels * x + 1] = uint8_t(v >> 8);
                row[channels * x + 2] = uint8_t(v);
                if (channels == 4) row[4 * x + 3] = uint8_t(v >> 24);
            } else if (channels == 2) {
                row[2 * x] = uint8_t(v);
                row[2 * x + 1] = uint8_t(v >> 8);
            } else {
                row[x] = uint8_t(v);
            }
        }
        png_write_row(png, row.data());
    }
    png_write_end(png, nullptr);
    png_destroy_write_struct(&png, &info);
    return bytes;
}
#endif

// A GIF with a two-colour (black, white) table: pixel 1 = white. The LZW
// stream uses 8-bit codes and a clear code often enough that the code width
// never grows.
inline std::vector<uint8_t> MakeGif(int width, int height, const std::function<int(int, int)>& white) {
    std::vector<uint8_t> g = {'G', 'I', 'F', '8', '9', 'a'};
    auto put16 = [&](int v) {
        g.push_back(v & 0xFF);
        g.push_back((v >> 8) & 0xFF);
    };
    put16(width);
    put16(height);
    g.push_back(0xF6);  // global table of 128 entries
    g.push_back(0);
    g.push_back(0);
    for (int i = 0; i < 128; ++i) {
        const uint8_t v = i == 1 ? 255 : 0;
        g.insert(g.end(), {v, v, v});
    }
    g.push_back(0x2C);
    put16(0);
    put16(0);
    put16(width);
    put16(height);
    g.push_back(0);
    g.push_back(7);  // minimum code size: codes are 8 bits wide
    std::vector<uint8_t> codes;
    int sinceClear = 0;
    codes.push_back(128);
    for (int y = 0; y < height; ++y)
        for (int x = 0; x < width; ++x) {
            if (sinceClear == 100) {
                codes.push_back(128);
                sinceClear = 0;
            }
            codes.push_back(white(x, y) ? 1 : 0);
            ++sinceClear;
        }
    codes.push_back(129);
    for (size_t i = 0; i < codes.size(); i += 255) {
        const size_t n = std::min<size_t>(255, codes.size() - i);
        g.push_back(static_cast<uint8_t>(n));
        g.insert(g.end(), codes.begin() + static_cast<long>(i), codes.begin() + static_cast<long>(i + n));
    }
    g.push_back(0);
    g.push_back(0x3B);
    return g;
}

}  // namespace testfiles
