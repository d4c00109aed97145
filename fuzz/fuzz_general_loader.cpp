#include "input/general_loader.h"
#include "fuzz_reader.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    return fuzzing::FuzzReader(data, size, ".img", lectavo::LoadGeneral);
}
