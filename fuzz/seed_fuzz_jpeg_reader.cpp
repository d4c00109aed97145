// Seeds: small grey, colour and CMYK JPEG files.
#include "picture_files.h"
#include "seed_writer.h"

int main(int argc, char** argv) {
    if (argc < 2) return 2;
    for (int components : {1, 3, 4})
        testfiles::WriteJpeg(
            fuzzing::SeedPath(argv[1], "c" + std::to_string(components) + ".jpg"), 24, 22, components,
            [](int x, int y, int c) { return static_cast<uint8_t>(x * 9 + y * 5 + c * 60); }, 75);
    return 0;
}
