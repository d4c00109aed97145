// Grey pictures through the whole array decode at effect level 3, where a
// picture the first passes do not read goes on to the photo stage. Bytes 0-3
// give width and height, byte 4 the symbol count (a count above what a
// picture holds runs every stage); the rest are the pixels, copied into a
// buffer of exactly width x height bytes so that any read past the picture
// is caught.
#include <cstddef>
#include <cstdint>
#include <vector>

#include "array_input.h"
#include "lectavo.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    fuzzing::ArrayShape shape;
    if (!fuzzing::ReadArrayShape(data, size, 5, shape)) return 0;
    const int width = shape.width, height = shape.height;
    const std::vector<uint8_t> pixels(data + 5, data + 5 + static_cast<size_t>(width) * static_cast<size_t>(height));
    SetDecodeEffectLevel(3);
    SetDecodeSymbolCount(data[4] % 4);
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
