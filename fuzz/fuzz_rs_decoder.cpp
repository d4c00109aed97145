// The Reed-Solomon block decoder. Half the inputs are blocks made by the
// encoder's Reed-Solomon coder with at most t codewords changed: the decoder
// must restore them. The other half are any bytes with any shape: the
// decoder must either return a codeword at most t changes away or leave the
// block as it was.
//
// fuzz-options: -max_len=300
#include <fuzzer/FuzzedDataProvider.h>

#include <algorithm>
#include <cstdint>
#include <cstring>
#include <vector>

#include "decode/rs_decoder.h"
#include "reed_solomon.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    FuzzedDataProvider in(data, size);
    const bool made = in.ConsumeBool();
    const int checks = in.ConsumeIntegralInRange(1, made ? mosaire::kMaxEcPerBlock : 70);
    const int n = in.ConsumeIntegralInRange(1, lectavo::kMaxBlockLength + 1);
    const int k = n - checks;
    const int t = in.ConsumeIntegralInRange(-1, lectavo::kMaxCorrectable + 1);
    std::vector<uint8_t> block = in.ConsumeBytes<uint8_t>(static_cast<size_t>(std::max(n, 0)));
    block.resize(static_cast<size_t>(std::max(n, 0)));

    if (!made || k < 1 || n > lectavo::kMaxBlockLength) {
        const std::vector<uint8_t> before = block;
        if (lectavo::CorrectBlock(n, k, block.data(), t)) {
            int changed = 0;
            for (size_t i = 0; i < block.size(); ++i) changed += block[i] != before[i];
            if (changed > std::max(t, 0) || !lectavo::CheckBlock(n, k, block.data())) __builtin_trap();
        } else if (block != before) {
            __builtin_trap();  // a block that cannot be corrected stays as it was
        }
        return 0;
    }

    mosaire::BlockErrorCorrection(block.data(), k, checks, block.data() + k);
    if (!lectavo::CheckBlock(n, k, block.data())) __builtin_trap();
    const std::vector<uint8_t> codeword = block;
    const int correctable = std::clamp(t, 0, checks / 2);
    const int errors = in.ConsumeIntegralInRange(0, correctable);
    for (int e = 0; e < errors; ++e) {
        const int at = in.ConsumeIntegralInRange(0, n - 1);
        block[static_cast<size_t>(at)] ^= std::max<uint8_t>(1, in.ConsumeIntegral<uint8_t>());
    }
    // Errors that landed on one codeword count once (or cancel).
    if (!lectavo::CorrectBlock(n, k, block.data(), t) || block != codeword) __builtin_trap();
    return 0;
}
