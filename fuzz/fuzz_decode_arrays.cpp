// Grey and binary arrays through the exported decode calls. Bytes 0-3 give
// width and height; the rest are the pixels.
#include <cstddef>
#include <cstdint>

#include "lectavo.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    if (size < 5) return 0;
    const int width = 1 + (data[0] | (data[1] << 8)) % 1024;
    int height = 1 + (data[2] | (data[3] << 8)) % 1024;
    const size_t pixels = size - 4;
    if (static_cast<size_t>(width) * static_cast<size_t>(height) > pixels)
        height = static_cast<int>(pixels / static_cast<size_t>(width));
    if (height == 0) return 0;
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
