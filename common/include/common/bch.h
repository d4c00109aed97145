// BCH codes of the format information (15,5) and version information (18,6),
// computed at compile time.
#pragma once

#include <array>
#include <cstdint>

namespace qrcommon {

inline constexpr uint32_t BchRemainder(uint32_t value, uint32_t poly) {
    int polyBits = 0;
    for (uint32_t p = poly; p; p >>= 1) ++polyBits;
    while (true) {
        int bits = 0;
        for (uint32_t v = value; v; v >>= 1) ++bits;
        if (bits < polyBits) return value;
        value ^= poly << (bits - polyBits);
    }
}

inline constexpr uint32_t kFormatPoly = 0x537;
inline constexpr uint32_t kFormatMask = 0x5412;
inline constexpr uint32_t kVersionPoly = 0x1F25;

// 15-bit format codeword for 5 data bits, unmasked.
inline constexpr uint32_t FormatCodeword(uint32_t data5) {
    return (data5 << 10) | BchRemainder(data5 << 10, kFormatPoly);
}

// 18-bit version information word for versions 7-40.
inline constexpr uint32_t VersionCodeword(uint32_t version) {
    return (version << 12) | BchRemainder(version << 12, kVersionPoly);
}

inline constexpr std::array<uint32_t, 41> MakeVersionCodes() {
    std::array<uint32_t, 41> t{};
    for (uint32_t v = 7; v <= 40; ++v) t[v] = VersionCodeword(v);
    return t;
}

inline constexpr std::array<uint32_t, 41> kVersionCodes = MakeVersionCodes();

static_assert(kVersionCodes[7] == 0x07C94);
static_assert(kVersionCodes[27] == 0x1B08E);
static_assert(kVersionCodes[40] == 0x28C69);
// Level M (00), mask 5 (101) gives 0x40CE after masking.
static_assert((FormatCodeword(0b00101) ^ kFormatMask) == 0x40CE);

}  // namespace qrcommon
