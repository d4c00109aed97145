// Grey pictures (at most 96 x 96) through the whole array decode at effect
// level 3, where a picture the first passes do not read goes on to the photo
// stage. Bytes 0-3 give width and height, byte 4 the settings; the rest are
// the pixels, copied into a buffer of exactly width x height bytes so that
// any read past the picture is caught.
//
// Settings: bits 0-1 the symbol count, one unless both are set, then two or
// three by bit 2 (a count above what a picture holds runs every stage, at
// many times the cost, so one input in four asks for it). Bit 3 sets the
// minimum module size to 255 pixels: the passes over binary planes (the
// first search, the enlarged copy) then find no finder and the picture goes
// straight to the photo stage, at about half the cost of a run through
// every pass. The fuzzer gives inputs that run faster more turns
// (-entropic_scale_per_exec_time).
//
// fuzz-options: -max_len=9221 -entropic_scale_per_exec_time=1

#include <cstddef>
#include <cstdint>
#include <vector>

#include "array_input.h"
#include "lectavo.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    fuzzing::ArrayShape shape;
    if (!fuzzing::ReadArrayShape(data, size, 5, shape, fuzzing::kPhotoMaxSide)) return 0;
    const int width = shape.width, height = shape.height;
    const std::vector<uint8_t> pixels(data + 5, data + 5 + static_cast<size_t>(width) * static_cast<size_t>(height));
    SetDecodeEffectLevel(3);
    SetMinimumModuleSize(data[4] & 8 ? 255 : 1);
    SetDecodeSymbolCount((data[4] & 3) == 3 ? 2 + (data[4] >> 2 & 1) : 1);
    const int found = DecodeGrayScaleArray(pixels.data(), width, height);
    for (int i = 0; i < found; ++i) {
        unsigned char* bytes = nullptr;
        GetDecodeData(i, &bytes);
        LectavoPoint corners[4];
        GetSymbolePosition(i, corners);
    }
    FreeAllocateMemory();
    return 0;
}
