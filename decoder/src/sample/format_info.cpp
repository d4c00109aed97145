#include "sample/format_info.h"

#include <array>

#include "common/bch.h"

namespace lectavo {

namespace {

// At most two bits set, without a population count (which is a library
// call on the baseline instruction set).
constexpr bool AtMostTwoBits(uint32_t x) {
    const uint32_t once = x & (x - 1);  // lowest set bit cleared
    return (once & (once - 1)) == 0;
}

constexpr std::array<uint32_t, 32> MakeFormatCodes() {
    std::array<uint32_t, 32> t{};
    for (uint32_t d = 0; d < 32; ++d) t[d] = qrcommon::FormatCodeword(d);
    return t;
}

constexpr std::array<uint32_t, 32> kFormatCodes = MakeFormatCodes();

// The first codeword of `codes[first..last]` within two bit errors of `word`
// over the low `bits` bits replaces it.
bool CorrectNearest(uint32_t& word, const uint32_t* codes, int first, int last, uint32_t bits) {
    const uint32_t mask = (1u << bits) - 1;
    for (int value = first; value <= last; ++value) {
        if (AtMostTwoBits((word ^ codes[value]) & mask)) {
            word = codes[value];
            return true;
        }
    }
    return false;
}

}  // namespace

bool CorrectFormatWord(uint32_t& word) { return CorrectNearest(word, kFormatCodes.data(), 0, 31, 15); }

bool CorrectVersionWord(uint32_t& word) { return CorrectNearest(word, qrcommon::kVersionCodes.data(), 7, 40, 18); }

}  // namespace lectavo
