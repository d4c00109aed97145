// GF(256) with primitive polynomial x^8 + x^4 + x^3 + x^2 + 1 (0x11D) and
// primitive element 2, as used by QR Code Reed-Solomon coding. All tables are
// computed at compile time.
#pragma once

#include <array>
#include <cstdint>

namespace qrcommon {

struct Gf256Tables {
    std::array<uint8_t, 256> exp{};  // exp[i] = alpha^i, exp[255] = 1
    std::array<uint8_t, 256> log{};  // log[0] = 0 (never used for zero)
};

inline constexpr Gf256Tables MakeGf256Tables() {
    Gf256Tables t{};
    int x = 1;
    for (int i = 0; i < 255; ++i) {
        t.exp[i] = static_cast<uint8_t>(x);
        t.log[x] = static_cast<uint8_t>(i);
        x <<= 1;
        if (x & 0x100) x ^= 0x11D;
    }
    t.exp[255] = 1;
    return t;
}

inline constexpr Gf256Tables kGf = MakeGf256Tables();

inline constexpr uint8_t GfMul(uint8_t a, uint8_t b) {
    if (a == 0 || b == 0) return 0;
    return kGf.exp[(kGf.log[a] + kGf.log[b]) % 255];
}

// Generator polynomial g_d(x) = (x - a^0)(x - a^1)...(x - a^(d-1)) as field
// elements; entry k is the coefficient of x^k, entry d is 1.
struct GeneratorPoly {
    int degree = 0;
    std::array<uint8_t, 69> coef{};
};

// Each generator is the previous one times (x - a^(d-1)), so the whole table
// costs about 2,400 field products (cheap enough for any compiler's
// constant-evaluation limit).
inline constexpr std::array<GeneratorPoly, 69> MakeGenerators() {
    std::array<GeneratorPoly, 69> all{};
    all[0].coef[0] = 1;
    for (int d = 1; d <= 68; ++d) {
        const GeneratorPoly& prev = all[d - 1];
        GeneratorPoly& g = all[d];
        g.degree = d;
        const uint8_t root = kGf.exp[d - 1];
        g.coef[d] = prev.coef[d - 1];
        for (int k = d - 1; k > 0; --k) g.coef[k] = static_cast<uint8_t>(prev.coef[k - 1] ^ GfMul(prev.coef[k], root));
        g.coef[0] = GfMul(prev.coef[0], root);
    }
    return all;
}

inline constexpr std::array<GeneratorPoly, 69> kGenerators = MakeGenerators();

}  // namespace qrcommon
