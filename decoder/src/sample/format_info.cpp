#include "sample/format_info.h"

#include <bit>

#include "common/bch.h"

namespace lectavo {

namespace {

constexpr int kMaxCorrectable = 2;

bool CorrectNearest(uint32_t& word, int first, int last, uint32_t (*codeword)(uint32_t), uint32_t bits) {
    const uint32_t mask = (1u << bits) - 1;
    for (int value = first; value <= last; ++value) {
        const uint32_t code = codeword(static_cast<uint32_t>(value));
        if (std::popcount((word ^ code) & mask) <= kMaxCorrectable) {
            word = code;
            return true;
        }
    }
    return false;
}

uint32_t FormatCode(uint32_t data) { return qrcommon::FormatCodeword(data); }
uint32_t VersionCode(uint32_t version) { return qrcommon::VersionCodeword(version); }

}  // namespace

bool CorrectFormatWord(uint32_t& word) { return CorrectNearest(word, 0, 31, FormatCode, 15); }

bool CorrectVersionWord(uint32_t& word) { return CorrectNearest(word, 7, 40, VersionCode, 18); }

}  // namespace lectavo
