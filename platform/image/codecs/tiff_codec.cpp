// TIFF through libtiff: the first page, every layout libtiff's RGBA reader
// knows, with the resolution Qt's reader takes from it (per inch or per
// centimetre; none stated: 100 dots per inch). A 1-bit grey page is 1-bit
// indexed.
#include <tiffio.h>

#include <algorithm>
#include <cmath>
#include <cstring>

#include "image/codecs/codecs.h"

namespace platform::codecs {

namespace {

struct Source {
    Bytes file;
    uint64_t at = 0;
};

tmsize_t ReadProc(thandle_t handle, void* data, tmsize_t length) {
    auto* source = static_cast<Source*>(handle);
    if (length <= 0 || source->at >= source->file.size) return 0;
    const size_t n = std::min(static_cast<size_t>(length), static_cast<size_t>(source->file.size - source->at));
    std::memcpy(data, source->file.data + source->at, n);
    source->at += n;
    return static_cast<tmsize_t>(n);
}
tmsize_t WriteProc(thandle_t, void*, tmsize_t) { return -1; }
toff_t SeekProc(thandle_t handle, toff_t offset, int whence) {
    auto* source = static_cast<Source*>(handle);
    uint64_t base = 0;
    if (whence == SEEK_CUR) base = source->at;
    if (whence == SEEK_END) base = source->file.size;
    source->at = base + offset;
    return source->at;
}
int CloseProc(thandle_t) { return 0; }
toff_t SizeProc(thandle_t handle) { return static_cast<Source*>(handle)->file.size; }
int MapProc(thandle_t, void**, toff_t*) { return 0; }
void UnmapProc(thandle_t, void*, toff_t) {}
int Quiet(TIFF*, void*, const char*, const char*, va_list) { return 1; }

// How many bytes of decoded samples one byte of the file can hold at most,
// by compression: none 1, PackBits 64 (two bytes repeat one 128 times),
// LZW about 2731 (see the GIF reader), deflate 1032; JPEG 512 (each 8 x 8
// block of a component costs a bit at least). Fax compressions code a blank
// row in a bit, so they are bounded by rows instead; other compressions
// take the deflate bound.
bool FileCanHold(uint16_t compression, int64_t width, int64_t height, int64_t bitsPerPixel, int64_t fileSize) {
    const int64_t samples = (width * bitsPerPixel + 7) / 8 * height;
    switch (compression) {
        case COMPRESSION_NONE:
            return samples <= fileSize;
        case COMPRESSION_PACKBITS:
            return samples <= fileSize * 64;
        case COMPRESSION_LZW:
            return samples <= fileSize * 2731;
        case COMPRESSION_JPEG:
        case COMPRESSION_OJPEG:
            return width * height <= fileSize * 512;
        case COMPRESSION_CCITTRLE:
        case COMPRESSION_CCITTRLEW:
        case COMPRESSION_CCITTFAX3:
        case COMPRESSION_CCITTFAX4:
            return height <= fileSize * 8;
        default:
            return samples <= fileSize * 1032;
    }
}

// Qt's rounding of a resolution to whole dots per metre.
int64_t RoundDots(double value) {
    if (!(std::fabs(value) < 2e9)) return 0;
    return value >= 0.0 ? static_cast<int64_t>(value + 0.5) : static_cast<int64_t>(value - 1 + 0.5);
}

struct Closer {
    TIFF* tiff = nullptr;
    TIFFOpenOptions* options = nullptr;
    ~Closer() {
        if (tiff) TIFFClose(tiff);
        if (options) TIFFOpenOptionsFree(options);
    }
};

}  // namespace

ImageStatus DecodeTiff(Bytes file, const Limits& limits, Picture& out) {
    Source source{file};
    Closer c;
    c.options = TIFFOpenOptionsAlloc();
    if (!c.options) return ImageStatus::kOutOfMemory;
    TIFFOpenOptionsSetErrorHandlerExtR(c.options, Quiet, nullptr);
    TIFFOpenOptionsSetWarningHandlerExtR(c.options, Quiet, nullptr);
    // No single allocation of libtiff's own beyond what the largest picture
    // within the limits needs.
    TIFFOpenOptionsSetMaxSingleMemAlloc(c.options, static_cast<tmsize_t>(limits.maxPixels) * 8);
    c.tiff = TIFFClientOpenExt("picture", "rm", &source, ReadProc, WriteProc, SeekProc, CloseProc, SizeProc, MapProc,
                               UnmapProc, c.options);
    if (!c.tiff) return ImageStatus::kUnreadable;
    uint32_t width = 0, height = 0;
    uint16_t bits = 1, samples = 1, compression = COMPRESSION_NONE, photometric = 0;
    if (!TIFFGetField(c.tiff, TIFFTAG_IMAGEWIDTH, &width) || !TIFFGetField(c.tiff, TIFFTAG_IMAGELENGTH, &height))
        return ImageStatus::kUnreadable;
    TIFFGetFieldDefaulted(c.tiff, TIFFTAG_BITSPERSAMPLE, &bits);
    TIFFGetFieldDefaulted(c.tiff, TIFFTAG_SAMPLESPERPIXEL, &samples);
    TIFFGetFieldDefaulted(c.tiff, TIFFTAG_COMPRESSION, &compression);
    TIFFGetField(c.tiff, TIFFTAG_PHOTOMETRIC, &photometric);
    const ImageStatus announced = CheckAnnounced(width, height, limits, [&] {
        return FileCanHold(compression, width, height, int64_t{bits} * samples, static_cast<int64_t>(file.size));
    });
    if (announced != ImageStatus::kOk) return announced;

    out.mono =
        bits == 1 && samples == 1 && (photometric == PHOTOMETRIC_MINISBLACK || photometric == PHOTOMETRIC_MINISWHITE);
    float resolutionX = 0, resolutionY = 0;
    uint16_t unit = RESUNIT_INCH;
    TIFFGetFieldDefaulted(c.tiff, TIFFTAG_RESOLUTIONUNIT, &unit);
    if (TIFFGetField(c.tiff, TIFFTAG_XRESOLUTION, &resolutionX) &&
        TIFFGetField(c.tiff, TIFFTAG_YRESOLUTION, &resolutionY)) {
        if (unit == RESUNIT_CENTIMETER)
            SetDotsPerMetre(out, RoundDots(resolutionX * 100.0), RoundDots(resolutionY * 100.0));
        else if (unit == RESUNIT_INCH)
            SetDotsPerMetre(out, RoundDots(resolutionX * (100 / 2.54)), RoundDots(resolutionY * (100 / 2.54)));
    }

    if (Allocate(out, static_cast<int>(width), static_cast<int>(height)) != ImageStatus::kOk) {
        out = Picture{};
        return ImageStatus::kOutOfMemory;
    }
    if (!TIFFReadRGBAImageOriented(c.tiff, width, height, out.pixels.data(), ORIENTATION_TOPLEFT, 0)) {
        out = Picture{};
        return ImageStatus::kUnreadable;
    }
    // libtiff packs A, B, G, R from the high byte down.
    for (uint32_t& p : out.pixels) p = (p & 0xFF00FF00u) | ((p & 0xFFu) << 16) | ((p >> 16) & 0xFFu);
    return ImageStatus::kOk;
}

}  // namespace platform::codecs
