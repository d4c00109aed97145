// fuzz-options: -max_len=9221 -entropic_scale_per_exec_time=1
// Grey and binary arrays through the exported decode calls. Bytes 0-3 give
// width and height, byte 4 the settings (bits 0-1 the symbol count, 0-2;
// bits 2-4 the effect level, 3 when all are set, else their value modulo 3);
// the rest are the pixels, at most 9,216 of them. Effect level 3 runs the
// photo stage after passes that fall short, at several times the cost of the
// passes; fuzz_photo_stage and fuzz_photo_reader cover it on their own, so
// here it is one setting in eight and most runs go to the binary-plane
// passes. The fuzzer gives inputs that run faster more turns
// (-entropic_scale_per_exec_time).
#include <cstddef>
#include <cstdint>

#include "array_input.h"
#include "lectavo.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    fuzzing::ArrayShape shape;
    if (!fuzzing::ReadArrayShape(data, size, 5, shape)) return 0;
    const int width = shape.width, height = shape.height;
    const uint8_t* pixels = data + 5;
    SetDecodeSymbolCount((data[4] & 3) % 3);
    const int effect = data[4] >> 2 & 7;
    SetDecodeEffectLevel(effect == 7 ? 3 : effect % 3);
    const int found = DecodeGrayScaleArray(pixels, width, height);
    for (int i = 0; i < found; ++i) {
        unsigned char* bytes = nullptr;
        GetDecodeData(i, &bytes);
        SysFreeString(GetDecodeDataString(i));
        SafeArrayDestroy(GetDecodeDataByteArray(i));
    }
    DecodeBinaryArray(pixels, width, height);
    FreeAllocateMemory();
    return 0;
}
