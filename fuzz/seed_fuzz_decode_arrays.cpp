// Seeds: width and height in four bytes, the settings byte (symbol count,
// effect level), then grey pixels: a flat array, a gradient and, with
// libqrencode, small rendered QR symbols at each effect level.
#include "seed_writer.h"
#include "test_pictures.h"

namespace {

// Settings byte: bits 0-1 the symbol count, bits 2-4 the effect level (7 for
// level 3).
uint8_t Settings(int count, int effect) { return static_cast<uint8_t>(count | (effect == 3 ? 7 : effect) << 2); }

bool WriteSymbol(const char* folder, const std::string& name, const testpics::Picture& p, uint8_t settings) {
    return fuzzing::WriteSeed(folder, name, fuzzing::GreyArrayInput(p.width, p.height, p.pixels, {settings}));
}

}  // namespace

int main(int argc, char** argv) {
    if (argc < 2) return 2;
    bool ok = fuzzing::WriteSeed(argv[1], "flat",
                                 fuzzing::GreyArrayInput(21, 21, std::vector<uint8_t>(21 * 21, 128), {Settings(1, 0)}));
    std::vector<uint8_t> ramp(40 * 30);
    for (size_t i = 0; i < ramp.size(); ++i) ramp[i] = static_cast<uint8_t>(i % 40 * 6);
    ok &= fuzzing::WriteSeed(argv[1], "ramp", fuzzing::GreyArrayInput(40, 30, ramp, {Settings(1, 3)}));
    const testpics::Matrix v1 = testpics::FromQrencode("fuzz seed", 1, 1);
    ok &= WriteSymbol(argv[1], "symbol", testpics::Render(v1, 3, 2), Settings(1, 0));
    ok &= WriteSymbol(argv[1], "symbol_turned", testpics::Render(v1, 2, 2, 1, 40, 200), Settings(0, 2));
    ok &= WriteSymbol(argv[1], "symbol_v3",
                      testpics::Render(testpics::FromQrencode("a version three symbol", 3, 2), 2, 1), Settings(2, 3));
    return ok ? 0 : 1;
}
