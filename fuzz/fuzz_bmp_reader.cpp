#include "input/bmp_reader.h"
#include "fuzz_reader.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    return fuzzing::FuzzReader(data, size, ".bmp", lectavo::ReadBmp);
}
