// Seeds: small PNG (1-bit and colour), GIF, BMP with unequal resolutions and
// JPEG files, each under a name that does not match its content, and PNM.
#include <string>

#include "picture_files.h"
#include "seed_writer.h"

int main(int argc, char** argv) {
    if (argc < 2) return 2;
    const char* folder = argv[1];
    testfiles::PngLayout mono;
    mono.width = 24;
    mono.height = 22;
    mono.bitDepth = 1;
    mono.pixel = [](int x, int y) -> uint32_t { return x == y; };
    bool ok = fuzzing::WriteSeed(folder, "mono.png", testfiles::MakePng(mono));
    testfiles::PngLayout colour = mono;
    colour.bitDepth = 8;
    colour.colourType = PNG_COLOR_TYPE_RGB;
    colour.pixel = [](int, int) -> uint32_t { return 0xC81E5A; };
    ok &= fuzzing::WriteSeed(folder, "colour.png", testfiles::MakePng(colour));
    std::string plain = "P2\n24 22\n255\n";
    for (int i = 0; i < 24 * 22; ++i) plain += std::to_string(i % 256) + (i % 24 == 23 ? "\n" : " ");
    ok &= fuzzing::WriteSeed(folder, "grey.pgm", std::vector<uint8_t>(plain.begin(), plain.end()));
    ok &= fuzzing::WriteSeed(folder, "bars.gif", testfiles::MakeGif(22, 21, [](int x, int) { return x % 3; }));
    std::vector<uint8_t> grey(24 * 22);
    for (size_t i = 0; i < grey.size(); ++i) grey[i] = static_cast<uint8_t>(i * 7);
    ok &= fuzzing::WriteSeed(folder, "dpi.bmp", testfiles::GreyBmp(grey, 24, 22, 7874, 3937));
    testfiles::WriteJpeg(
        fuzzing::SeedPath(folder, "grey.jpg"), 24, 22, 1, [](int x, int y, int) { return static_cast<uint8_t>(x * y); },
        75);
    return ok ? 0 : 1;
}
