// General image loader: BMP, PNG, GIF, JPEG, TIFF, WebP and PNM (PBM, PGM,
// PPM) files, the format told by the file's content, read on the codec
// libraries (codecs/), or on Windows the Windows Imaging Component.
#pragma once

#include <cstdint>
#include <memory>
#include <string>

namespace platform {

enum class ImageStatus {
    kOk,
    kUnreadable,  // unknown format, damaged data, or a size the file cannot hold
    kTooLarge,    // larger than the caller's limit
    kOutOfMemory,
    // Opening the file (not on Windows, where the caller checks first):
    kNotFound,    // no such file, or a folder
    kDenied,      // no permission
    kNotRegular,  // a pipe, a device or a socket
};

class ImageFile {
public:
    ImageFile();
    ~ImageFile();
    ImageFile(const ImageFile&) = delete;
    ImageFile& operator=(const ImageFile&) = delete;

    // Reads the whole picture (the first frame or page). A picture whose side
    // exceeds `maxSide` or whose area exceeds `maxPixels` is refused before
    // its pixels are decoded. The path is passed on as bytes, unconverted.
    ImageStatus Load(const std::string& path, int maxSide, int64_t maxPixels);

    int Width() const;
    int Height() const;
    // 1-bit indexed pixels (either bit order).
    bool IsMono() const;
    // Resolution in dots per inch, rounded to the nearest integer.
    int DpiX() const;
    int DpiY() const;
    // `count` pixels of row y from column x as 32-bit ARGB; the span must lie
    // inside the picture.
    void ReadRow(int y, int x, int count, uint32_t* out) const;

private:
    struct Decoded;
    std::unique_ptr<Decoded> image_;
};

}  // namespace platform
