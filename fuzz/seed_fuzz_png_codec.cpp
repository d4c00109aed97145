// Seeds: PNG files of 1-bit palette, 2-bit grey, 8-bit RGB with a
// resolution, and 16-bit grey.
#include "picture_files.h"
#include "seed_writer.h"

int main(int argc, char** argv) {
    if (argc < 2) return 2;
    const char* folder = argv[1];
    testfiles::PngLayout s;
    s.width = 24;
    s.height = 22;
    s.bitDepth = 1;
    s.colourType = PNG_COLOR_TYPE_PALETTE;
    s.palette = {0xFFFFFF, 0x000000};
    s.pixel = [](int x, int y) -> uint32_t { return x == y; };
    bool ok = fuzzing::WriteSeed(folder, "mono.png", testfiles::MakePng(s));
    s.colourType = PNG_COLOR_TYPE_GRAY;
    s.palette.clear();
    s.bitDepth = 2;
    s.pixel = [](int x, int y) -> uint32_t { return (x + y) % 4; };
    ok &= fuzzing::WriteSeed(folder, "grey2.png", testfiles::MakePng(s));
    s.bitDepth = 8;
    s.colourType = PNG_COLOR_TYPE_RGB;
    s.pixel = [](int x, int y) -> uint32_t { return static_cast<uint32_t>(x * 0x0A0B0C + y); };
    s.ppmX = 7874;
    s.ppmY = 3937;
    ok &= fuzzing::WriteSeed(folder, "rgb.png", testfiles::MakePng(s));
    s.colourType = PNG_COLOR_TYPE_GRAY;
    s.bitDepth = 16;
    s.pixel = [](int x, int y) -> uint32_t { return static_cast<uint32_t>(x * 3001 + y); };
    ok &= fuzzing::WriteSeed(folder, "grey16.png", testfiles::MakePng(s));
    return ok ? 0 : 1;
}
