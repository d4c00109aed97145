// Writes crafted picture files into a folder, for the script-driven tests
// and measurements that hand files to qrtool or the decoder:
//
//   crafted_files DIR SIDE NAME...
//
// NAME is one of the crafted pictures (crafted_pictures.h: stripes_v1,
// checker3, finder_grid1, ...), written as DIR/NAME.bmp, an 8-bit grey BMP
// of SIDE x SIDE pixels; truncated.bmp and truncated.jpg, such a picture
// (a checkerboard of 4 px cells) cut to half its bytes; or lying.png,
// lying.gif, lying.jpg, lying.bmp, lying.tif, lying.webp, a few bytes whose
// header announces 16384 x 16384 pixels; or diagonal stripes in the formats
// that cost the readers most a pixel: colour.png (24-bit), colour.jpg (three
// components), progressive.jpg (three components at full resolution,
// progressive), cmyk.jpg (the same in four), stripes.gif and
// stripes_1bit.bmp.
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <iterator>
#include <map>
#include <string>
#include <vector>

#include "crafted_pictures.h"
#include "lying_headers.h"

namespace {

std::vector<uint8_t> ReadBytes(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

std::vector<uint8_t> CheckerJpeg(int side) {
    const std::string path = testfiles::TempPath("checker.jpg");
    testfiles::WriteJpeg(path, side, side, 1,
                         [](int x, int y, int) { return static_cast<uint8_t>(((x / 4 + y / 4) & 1) ? 255 : 0); });
    return ReadBytes(path);
}

}  // namespace

int main(int argc, char** argv) {
    if (argc < 4) {
        std::fprintf(stderr, "usage: crafted_files DIR SIDE NAME...\n");
        return 2;
    }
    const std::string dir = argv[1];
    const int side = std::atoi(argv[2]);
    if (side < 21 || side > 16384) {
        std::fprintf(stderr, "crafted_files: SIDE must be 21 to 16384\n");
        return 2;
    }
    constexpr uint32_t kClaim = 16384;
    for (int i = 3; i < argc; ++i) {
        const std::string name = argv[i];
        std::vector<uint8_t> bytes;
        std::string file = name;
        if (name == "truncated.bmp") {
            const crafted::Picture p = crafted::Make(crafted::Kind::kChecker4, side);
            bytes = testfiles::Half(testfiles::GreyBmp(p.pixels, side, side));
        } else if (name == "truncated.jpg") {
            bytes = testfiles::Half(CheckerJpeg(side));
        } else if (name == "colour.png" || name == "colour.jpg" || name == "progressive.jpg" || name == "cmyk.jpg" ||
                   name == "stripes.gif" || name == "stripes_1bit.bmp") {
            const crafted::Picture p = crafted::Make(crafted::Kind::kStripesDiagonal1, side);
            const auto dark = [&](int x, int y) { return p.pixels[static_cast<size_t>(y) * side + x] < 128; };
            if (name == "colour.png") {
                testfiles::PngLayout s;
                s.width = s.height = side;
                s.colourType = PNG_COLOR_TYPE_RGB;
                s.pixel = [&](int x, int y) -> uint32_t { return dark(x, y) ? 0x202060 : 0xF0E0A0; };
                bytes = testfiles::MakePng(s);
            } else if (name == "colour.jpg" || name == "progressive.jpg" || name == "cmyk.jpg") {
                const std::string path = testfiles::TempPath(name);
                testfiles::WriteJpeg(
                    path, side, side, name == "cmyk.jpg" ? 4 : 3,
                    [&](int x, int y, int c) { return static_cast<uint8_t>(dark(x, y) ? 32 + 16 * c : 240 - 32 * c); },
                    95, name != "colour.jpg");
                bytes = ReadBytes(path);
            } else if (name == "stripes.gif") {
                bytes = testfiles::MakeGif(side, side, [&](int x, int y) { return dark(x, y) ? 0 : 1; });
            } else {
                testfiles::BmpLayout s;
                s.width = s.height = side;
                s.bitCount = 1;
                s.palette = {{0, 0, 0}, {255, 255, 255}};
                s.pixel = [&](int x, int y) -> uint32_t { return dark(x, y) ? 0 : 1; };
                bytes = testfiles::MakeBmp(s);
            }
        } else if (name == "lying.png") {
            bytes = testfiles::PngClaiming(kClaim, kClaim);
        } else if (name == "lying.gif") {
            bytes = testfiles::GifClaiming(kClaim, kClaim);
        } else if (name == "lying.jpg") {
            bytes = testfiles::JpegClaiming(kClaim, kClaim);
        } else if (name == "lying.bmp") {
            bytes = testfiles::BmpHeaderClaiming(kClaim, kClaim);
        } else if (name == "lying.tif") {
            bytes = testfiles::TiffClaiming(kClaim, kClaim);
        } else if (name == "lying.webp") {
            bytes = testfiles::WebpClaiming(kClaim, kClaim);
        } else {
            bool known = false;
            for (crafted::Kind kind : crafted::AllKinds())
                if (crafted::Name(kind) == name) {
                    const crafted::Picture p = crafted::Make(kind, side);
                    bytes = testfiles::GreyBmp(p.pixels, side, side);
                    file = name + ".bmp";
                    known = true;
                }
            if (!known) {
                std::fprintf(stderr, "crafted_files: unknown picture %s\n", name.c_str());
                return 2;
            }
        }
        testfiles::WriteBytes(dir + "/" + file, bytes);
    }
    return 0;
}
