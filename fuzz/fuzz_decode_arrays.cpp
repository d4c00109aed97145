// fuzz-options: -max_len=16388
// Grey and binary arrays through the exported decode calls. Bytes 0-3 give
// width and height; the rest are the pixels.
#include <cstddef>
#include <cstdint>

#include "array_input.h"
#include "lectavo.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    fuzzing::ArrayShape shape;
    if (!fuzzing::ReadArrayShape(data, size, 4, shape)) return 0;
    const int width = shape.width, height = shape.height;
    SetDecodeSymbolCount(data[4] % 3);
    const int found = DecodeGrayScaleArray(data + 4, width, height);
    for (int i = 0; i < found; ++i) {
        unsigned char* bytes = nullptr;
        GetDecodeData(i, &bytes);
        SysFreeString(GetDecodeDataString(i));
        SafeArrayDestroy(GetDecodeDataByteArray(i));
    }
    DecodeBinaryArray(data + 4, width, height);
    FreeAllocateMemory();
    return 0;
}
