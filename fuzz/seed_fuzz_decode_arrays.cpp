// Seeds: width and height in four bytes, then grey pixels: a flat array, a
// gradient and, with libqrencode, a rendered QR symbol.
#include "seed_writer.h"
#include "test_pictures.h"

int main(int argc, char** argv) {
    if (argc < 2) return 2;
    bool ok = fuzzing::WriteSeed(argv[1], "flat", fuzzing::GreyArrayInput(21, 21, std::vector<uint8_t>(21 * 21, 128)));
    std::vector<uint8_t> ramp(40 * 30);
    for (size_t i = 0; i < ramp.size(); ++i) ramp[i] = static_cast<uint8_t>(i % 40 * 6);
    ok &= fuzzing::WriteSeed(argv[1], "ramp", fuzzing::GreyArrayInput(40, 30, ramp));
    const testpics::Picture symbol = testpics::Render(testpics::FromQrencode("fuzz seed", 1, 1), 3, 2);
    ok &= fuzzing::WriteSeed(argv[1], "symbol", fuzzing::GreyArrayInput(symbol.width, symbol.height, symbol.pixels));
    return ok ? 0 : 1;
}
