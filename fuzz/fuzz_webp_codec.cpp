#include "fuzz_codec.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    return fuzzing::FuzzCodec(data, size, platform::codecs::DecodeWebp);
}
