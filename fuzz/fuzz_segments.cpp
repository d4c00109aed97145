// The segment decoder on any data codewords: byte 0 picks the version and
// whether a structured-append header is read, byte 1 whether ECI and FNC1
// are read; the rest are the codewords. A decoded stream must fit the
// output, and bits read past the codewords must never be touched.
//
// fuzz-options: -max_len=4096
#include <cstdint>
#include <memory>
#include <vector>

#include "decode/decoded_data.h"
#include "decode/segments.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    if (size < 3) return 0;
    const int version = 1 + data[0] % 40;
    const bool withHeader = data[0] & 0x80;
    const bool readEciAndFnc1 = data[1] & 1;
    // A copy of exactly the codewords, so any read beyond them is caught.
    const std::vector<uint8_t> codewords(data + 2, data + size);
    auto out = std::make_unique<lectavo::DecodedData>();
    const int length = static_cast<int>(codewords.size());
    if (lectavo::DecodeSegments(codewords.data(), length, version, withHeader, readEciAndFnc1, *out)) {
        if (out->length < 0 || out->length > lectavo::kMaxDataBytes || out->bytes[out->length] != 0) __builtin_trap();
    }
    if (length <= 4) lectavo::ReadBits(0, 8 * length, codewords.data());
    return 0;
}
