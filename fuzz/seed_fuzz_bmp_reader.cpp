// Seeds: small BMP files of 1, 4, 8 and 24 bits, bottom-up and top-down.
#include "picture_files.h"
#include "seed_writer.h"

int main(int argc, char** argv) {
    if (argc < 2) return 2;
    bool ok = true;
    for (int bits : {1, 4, 8, 24}) {
        testfiles::BmpLayout s;
        s.width = 23;
        s.height = 21;
        s.bitCount = bits;
        if (bits <= 8)
            for (int i = 0; i < (1 << bits); ++i) s.palette.push_back({uint8_t(i), uint8_t(i * 3), uint8_t(255 - i)});
        s.pixel = [bits](int x, int y) -> uint32_t { return bits == 24 ? (x * 11 + y) * 0x010203u : (x ^ y); };
        ok &= fuzzing::WriteSeed(argv[1], "b" + std::to_string(bits) + ".bmp", testfiles::MakeBmp(s));
        s.topDown = true;
        ok &= fuzzing::WriteSeed(argv[1], "t" + std::to_string(bits) + ".bmp", testfiles::MakeBmp(s));
    }
    return ok ? 0 : 1;
}
