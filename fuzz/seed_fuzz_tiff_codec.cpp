// Seeds: TIFF files written by libtiff: 1-bit fax, 8-bit grey with deflate,
// RGB with LZW and a resolution in centimetres.
#include <tiffio.h>

#include <functional>
#include <string>
#include <vector>

#include "seed_writer.h"

namespace {

bool WriteTiff(const std::string& path, int width, int height, int bits, int samples, int compression,
               const std::function<uint8_t(int, int, int)>& sample) {
    TIFF* tiff = TIFFOpen(path.c_str(), "w");
    if (!tiff) return false;
    TIFFSetField(tiff, TIFFTAG_IMAGEWIDTH, width);
    TIFFSetField(tiff, TIFFTAG_IMAGELENGTH, height);
    TIFFSetField(tiff, TIFFTAG_BITSPERSAMPLE, bits);
    TIFFSetField(tiff, TIFFTAG_SAMPLESPERPIXEL, samples);
    TIFFSetField(tiff, TIFFTAG_COMPRESSION, compression);
    TIFFSetField(tiff, TIFFTAG_PHOTOMETRIC, samples == 3 ? PHOTOMETRIC_RGB : PHOTOMETRIC_MINISWHITE);
    TIFFSetField(tiff, TIFFTAG_PLANARCONFIG, PLANARCONFIG_CONTIG);
    TIFFSetField(tiff, TIFFTAG_ROWSPERSTRIP, 8);
    TIFFSetField(tiff, TIFFTAG_XRESOLUTION, 118.0f);
    TIFFSetField(tiff, TIFFTAG_YRESOLUTION, 59.0f);
    TIFFSetField(tiff, TIFFTAG_RESOLUTIONUNIT, RESUNIT_CENTIMETER);
    std::vector<uint8_t> row(static_cast<size_t>((width * bits * samples + 7) / 8));
    bool ok = true;
    for (int y = 0; y < height; ++y) {
        std::fill(row.begin(), row.end(), 0);
        for (int x = 0; x < width; ++x)
            for (int c = 0; c < samples; ++c) {
                const uint8_t v = sample(x, y, c);
                if (bits == 1)
                    row[static_cast<size_t>(x / 8)] |= static_cast<uint8_t>((v & 1) << (7 - x % 8));
                else
                    row[static_cast<size_t>(x * samples + c)] = v;
            }
        ok &= TIFFWriteScanline(tiff, row.data(), static_cast<uint32_t>(y), 0) == 1;
    }
    TIFFClose(tiff);
    return ok;
}

}  // namespace

int main(int argc, char** argv) {
    if (argc < 2) return 2;
    const char* folder = argv[1];
    bool ok = WriteTiff(fuzzing::SeedPath(folder, "fax.tif"), 24, 22, 1, 1, COMPRESSION_CCITTFAX4,
                        [](int x, int y, int) { return static_cast<uint8_t>(x == y); });
    ok &= WriteTiff(fuzzing::SeedPath(folder, "grey.tif"), 24, 22, 8, 1, COMPRESSION_ADOBE_DEFLATE,
                    [](int x, int y, int) { return static_cast<uint8_t>(x * y); });
    ok &= WriteTiff(fuzzing::SeedPath(folder, "rgb.tif"), 24, 22, 8, 3, COMPRESSION_LZW,
                    [](int x, int y, int c) { return static_cast<uint8_t>(x * 10 + y * c); });
    return ok ? 0 : 1;
}
