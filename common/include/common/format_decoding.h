// Matching format and version words read off a symbol to the nearest valid
// codeword, for the encoder's tables and every reader of the decoder.
#pragma once

#include <cstdint>

#include "common/bch.h"
#include "common/symbol_layout.h"

namespace qrcommon {

// Which valid codeword a word read off a symbol is taken to be: the first,
// in the order of the data values, within the error limit, or the nearest
// (the first of equally near ones).
enum class MatchRule { kFirstWithin, kNearestWithin };

struct CodewordMatch {
    int value = -1;     // format data 0-31 or version 7-40; -1 when none is near enough
    int distance = 99;  // bit errors between the word and that codeword
    bool Found() const { return value >= 0; }
};

// Bits set in x, counted up to cap + 1 without a population count (a library
// call on the baseline instruction set).
inline constexpr int CountBitsUpTo(uint32_t x, int cap) {
    int n = 0;
    while (x != 0 && n <= cap) {
        x &= x - 1;
        ++n;
    }
    return n;
}

namespace detail {

template <typename Codeword>
constexpr CodewordMatch Match(uint32_t word, int first, int last, int maxErrors, MatchRule rule, Codeword codeword) {
    CodewordMatch best;
    for (int value = first; value <= last; ++value) {
        const int d = CountBitsUpTo(word ^ codeword(value), maxErrors);
        if (d > maxErrors || d >= best.distance) continue;
        best = {value, d};
        if (rule == MatchRule::kFirstWithin) break;
    }
    return best;
}

}  // namespace detail

// A 15-bit format word with the mask 0x5412 already removed.
inline constexpr CodewordMatch MatchFormatWord(uint32_t word, int maxErrors, MatchRule rule) {
    return detail::Match(word & 0x7FFF, 0, 31, maxErrors, rule,
                         [](int v) { return FormatCodeword(static_cast<uint32_t>(v)); });
}

// An 18-bit version word; versions 7-40 carry one.
inline constexpr CodewordMatch MatchVersionWord(uint32_t word, int maxErrors, MatchRule rule) {
    return detail::Match(word & 0x3FFFF, 7, 40, maxErrors, rule, [](int v) { return kVersionCodes[v]; });
}

// Level (0 = L, 1 = M, 2 = Q, 3 = H) and mask of format data 0-31.
inline constexpr int FormatDataLevel(int data) { return LevelIndicator(data >> 3); }
inline constexpr int FormatDataMask(int data) { return data & 7; }

}  // namespace qrcommon
