// Block check by syndromes (a codeword's all vanish), and bounded-distance
// correction: the
// error locator from the first 2t syndromes (Berlekamp-Massey), its roots by
// trying every position of the block, the error values from the evaluator
// (Forney), and the result kept only when the block is then a codeword. A
// block within t errors of a codeword is corrected to it; any other block
// fails and is left as it was.
#include "decode/rs_decoder.h"

#include <algorithm>
#include <array>
#include <cstring>

#include "common/gf256.h"

namespace lectavo {
namespace {

using qrcommon::kGf;

inline constexpr int kMaxCheckWords = 68;

// exp over two periods, so a sum of two logarithms needs no modulo.
struct DoubleExp {
    std::array<uint8_t, 512> exp{};
};

constexpr DoubleExp MakeDoubleExp() {
    DoubleExp d{};
    for (int i = 0; i < 512; ++i) d.exp[static_cast<size_t>(i)] = kGf.exp[static_cast<size_t>(i % 255)];
    return d;
}

constexpr DoubleExp kExp = MakeDoubleExp();

inline uint8_t Mul(uint8_t a, uint8_t b) {
    if (a == 0 || b == 0) return 0;
    return kExp.exp[kGf.log[a] + kGf.log[b]];
}

inline uint8_t Div(uint8_t a, uint8_t b) {  // b != 0
    if (a == 0) return 0;
    return kExp.exp[kGf.log[a] + 255 - kGf.log[b]];
}

// Products by alpha^j for every j a block's syndromes need: row j maps x to
// x * alpha^j, so a Horner step is one table look-up.
struct PowerProducts {
    std::array<std::array<uint8_t, 256>, kMaxCheckWords> by{};
};

constexpr PowerProducts MakePowerProducts() {
    PowerProducts p{};
    for (int j = 0; j < kMaxCheckWords; ++j)
        for (int x = 0; x < 256; ++x)
            p.by[static_cast<size_t>(j)][static_cast<size_t>(x)] =
                qrcommon::GfMul(static_cast<uint8_t>(x), kGf.exp[static_cast<size_t>(j)]);
    return p;
}

constexpr PowerProducts kPowerProducts = MakePowerProducts();

// Up to 32 syndromes as two vectors of 16 bytes. A Horner step multiplies
// lane j by alpha^j, which is linear in the lane's bits: the sum of
// 2^b alpha^j over the bits b set in the lane.
inline constexpr int kVectorSyndromes = 32;
using Bytes16 = uint8_t __attribute__((vector_size(16)));

struct BitProducts {
    std::array<std::array<uint8_t, kVectorSyndromes>, 8> by{};  // [b][j] = 2^b alpha^j
};

constexpr BitProducts MakeBitProducts() {
    BitProducts p{};
    for (int b = 0; b < 8; ++b)
        for (int j = 0; j < kVectorSyndromes; ++j)
            p.by[static_cast<size_t>(b)][static_cast<size_t>(j)] =
                qrcommon::GfMul(static_cast<uint8_t>(1u << b), kGf.exp[static_cast<size_t>(j)]);
    return p;
}

constexpr BitProducts kBitProducts = MakeBitProducts();

// Lanes j .. j + 15 of `s` each multiplied by its alpha^j, `products`
// holding 2^b alpha^j of those lanes for every bit b.
inline Bytes16 TimesAlphaPowers(Bytes16 s, const Bytes16* products) {
    Bytes16 sum{};
    for (int b = 0; b < 8; ++b) {
        Bytes16 bit;
        std::memset(&bit, 1 << b, sizeof bit);
        // All ones in the lanes that have bit b set.
        const Bytes16 set = (s & bit) == bit;
        sum ^= set & products[b];
    }
    return sum;
}

// Block positions (counted from the block's end) whose products are tabled:
// every QR block (the longest has 153 codewords).
inline constexpr int kTabledLength = 160;

// r alpha^(j p) for the first 32 syndromes j, every tabled position p and
// each nibble of r: [p][nibble][0] for r = nibble, [p][nibble][1] for
// r = nibble * 16. A syndrome is linear in the block's bytes, so the
// syndromes of a block are the sum of two look-ups a codeword, with no chain
// from one codeword to the next. Made on first use (about 160 KB).
struct NibbleProducts {
    std::array<std::array<std::array<std::array<uint8_t, kVectorSyndromes>, 2>, 16>, kTabledLength> by;

    NibbleProducts() {
        for (int p = 0; p < kTabledLength; ++p)
            for (int j = 0; j < kVectorSyndromes; ++j) {
                const int power = (j * p) % 255;  // alpha^(j p)
                for (int nibble = 0; nibble < 16; ++nibble)
                    for (int half = 0; half < 2; ++half) {
                        const int r = nibble << (4 * half);
                        by[static_cast<size_t>(p)][static_cast<size_t>(nibble)][static_cast<size_t>(half)]
                          [static_cast<size_t>(j)] =
                              r == 0 ? 0 : kExp.exp[static_cast<size_t>(kGf.log[static_cast<size_t>(r)] + power)];
                    }
            }
    }
};

const NibbleProducts& Nibbles() {
    static const NibbleProducts table;
    return table;
}

inline Bytes16 Load16(const uint8_t* p) {
    Bytes16 v;
    std::memcpy(&v, p, sizeof v);
    return v;
}

// Syndromes 0 .. 31 of the n-byte block into out[0 .. 31] (those past the
// ones wanted are left for the caller to ignore); 16 when `wide` is false.
void VectorSyndromes(int n, const uint8_t* block, bool wide, uint8_t* out) {
    Bytes16 s0{}, s1{};
    if (n <= kTabledLength) {
        const NibbleProducts& nibbles = Nibbles();
        for (int i = 0; i < n; ++i) {
            const auto& products = nibbles.by[static_cast<size_t>(n - 1 - i)];
            const auto& low = products[block[i] & 15u][0];
            const auto& high = products[block[i] >> 4][1];
            s0 ^= Load16(low.data()) ^ Load16(high.data());
            if (wide) s1 ^= Load16(low.data() + 16) ^ Load16(high.data() + 16);
        }
    } else {
        // Horner's rule at alpha^j, all j side by side.
        Bytes16 lowPowers[8], highPowers[8];
        for (int b = 0; b < 8; ++b) {
            lowPowers[b] = Load16(kBitProducts.by[static_cast<size_t>(b)].data());
            highPowers[b] = Load16(kBitProducts.by[static_cast<size_t>(b)].data() + 16);
        }
        for (int i = 0; i < n; ++i) {
            s0 = TimesAlphaPowers(s0, lowPowers) ^ block[i];
            if (wide) s1 = TimesAlphaPowers(s1, highPowers) ^ block[i];
        }
    }
    std::memcpy(out, &s0, sizeof s0);
    std::memcpy(out + 16, &s1, sizeof s1);
}

// The first `count` syndromes into `syndromes`, which holds kMaxCheckWords
// (the vector form may write more than `count`).
void SyndromesOf(int n, const uint8_t* block, int count, uint8_t* syndromes) {
    if (count > 0 && count <= kVectorSyndromes)
        VectorSyndromes(n, block, count > 16, syndromes);
    else
        ComputeSyndromes(n, block, count, syndromes);
}

bool ValidBlockShape(int n, int k) { return k >= 0 && n > k && n <= kMaxBlockLength && n - k <= kMaxCheckWords; }

// Polynomials below are stored lowest degree first: p[i] is the coefficient
// of x^i.
using Poly = std::array<uint8_t, 2 * kMaxCorrectable + 1>;

// The index of p's highest nonzero coefficient, 0 for a constant.
int Degree(const Poly& p) {
    int degree = static_cast<int>(p.size()) - 1;
    while (degree > 0 && p[static_cast<size_t>(degree)] == 0) --degree;
    return degree;
}

// Berlekamp-Massey over the 2t syndromes: the shortest locator Lambda with
// Lambda(0) = 1 that generates them. Returns its length L (the number of
// errors it describes).
int FindLocator(const uint8_t* syndromes, int count, Poly& locator) {
    Poly previous{};  // the locator before the last length change
    locator.fill(0);
    locator[0] = previous[0] = 1;
    int length = 0, shift = 1;
    int previousDegree = 0;
    uint8_t previousDiscrepancy = 1;
    for (int step = 0; step < count; ++step) {
        uint8_t discrepancy = syndromes[step];
        for (int i = 1; i <= length; ++i) discrepancy ^= Mul(locator[static_cast<size_t>(i)], syndromes[step - i]);
        if (discrepancy == 0) {
            ++shift;
            continue;
        }
        // locator += factor x^shift previous, over previous's nonzero terms.
        const int logFactor = kGf.log[Div(discrepancy, previousDiscrepancy)];
        const Poly before = locator;
        const int end = std::min(previousDegree + 1, static_cast<int>(locator.size()) - shift);
        for (int i = 0; i < end; ++i)
            if (previous[static_cast<size_t>(i)] != 0)
                locator[static_cast<size_t>(i + shift)] ^=
                    kExp.exp[static_cast<size_t>(logFactor + kGf.log[previous[static_cast<size_t>(i)]])];
        if (2 * length <= step) {
            length = step + 1 - length;
            previous = before;
            previousDegree = Degree(previous);
            previousDiscrepancy = discrepancy;
            shift = 1;
        } else {
            ++shift;
        }
    }
    return length;
}

// Value of p (degree < size) at alpha^(-power).
uint8_t EvaluateAtInverse(const uint8_t* p, int size, int power) {
    const int step = (255 - power % 255) % 255;  // log of alpha^(-power)
    uint8_t sum = 0;
    int log = 0;
    for (int i = 0; i < size; ++i) {
        if (p[i] != 0) sum ^= kExp.exp[kGf.log[p[i]] + log];
        log += step;
        if (log >= 255) log -= 255;
    }
    return sum;
}

// Whether the locator (its first errors + 1 coefficients) also generates the
// syndromes past the 2t that made it: S_j + sum of Lambda_i S_(j-i) = 0 for
// 2t <= j < count. A block the search below would correct always passes
// (the syndromes of its error pattern obey the recurrence of the locator),
// so a failing block is rejected here before the root search.
bool GeneratesRemainingSyndromes(const Poly& locator, int errors, const uint8_t* syndromes, int from, int count) {
    for (int j = from; j < count; ++j) {
        uint8_t sum = syndromes[j];
        for (int i = 1; i <= errors; ++i) sum ^= Mul(locator[static_cast<size_t>(i)], syndromes[j - i]);
        if (sum != 0) return false;
    }
    return true;
}

// Lambda_i alpha^(-i p) for the terms i = 1 .. kMaxCorrectable of a locator,
// sixteen positions p at a time, for each nibble of Lambda_i:
// [i - 1][group][nibble][0] for Lambda_i = nibble, [..][1] for nibble * 16,
// lane l at position 16 group + l. The locator is then evaluated at sixteen
// positions with two look-ups a term. Made on first use (about 77 KB).
inline constexpr int kPositionGroups = kTabledLength / 16;

struct LocatorProducts {
    std::array<std::array<std::array<std::array<std::array<uint8_t, 16>, 2>, 16>, kPositionGroups>, kMaxCorrectable> by;

    LocatorProducts() {
        for (int i = 1; i <= kMaxCorrectable; ++i)
            for (int g = 0; g < kPositionGroups; ++g)
                for (int lane = 0; lane < 16; ++lane) {
                    const int power = (255 - (i * (16 * g + lane)) % 255) % 255;  // alpha^(-i p)
                    for (int nibble = 0; nibble < 16; ++nibble)
                        for (int half = 0; half < 2; ++half) {
                            const int r = nibble << (4 * half);
                            by[static_cast<size_t>(i - 1)][static_cast<size_t>(g)][static_cast<size_t>(nibble)]
                              [static_cast<size_t>(half)][static_cast<size_t>(lane)] =
                                  r == 0 ? 0 : kExp.exp[static_cast<size_t>(kGf.log[static_cast<size_t>(r)] + power)];
                        }
                }
    }
};

const LocatorProducts& LocatorTerms() {
    static const LocatorProducts table;
    return table;
}

// Whether any of the sixteen bytes is zero.
inline bool AnyZeroByte(Bytes16 v) {
    uint64_t half[2];
    std::memcpy(half, &v, sizeof half);
    constexpr uint64_t kOnes = 0x0101010101010101u, kHighs = 0x8080808080808080u;
    return (((half[0] - kOnes) & ~half[0]) | ((half[1] - kOnes) & ~half[1])) & kHighs;
}

// FindErrorPositions for blocks of tabled length: the locator's value at
// sixteen positions at once, the roots then picked out in order.
bool FindTabledErrorPositions(const Poly& locator, int errors, int n, int* positions) {
    const LocatorProducts& terms = LocatorTerms();
    int found = 0;
    for (int g = 0; g * 16 < n; ++g) {
        Bytes16 value;
        std::memset(&value, 1, sizeof value);  // Lambda_0 = 1
        for (int i = 1; i <= errors; ++i) {
            const auto& products = terms.by[static_cast<size_t>(i - 1)][static_cast<size_t>(g)];
            const uint8_t c = locator[static_cast<size_t>(i)];
            value ^= Load16(products[c & 15u][0].data()) ^ Load16(products[c >> 4][1].data());
        }
        if (!AnyZeroByte(value)) continue;
        uint8_t bytes[16];
        std::memcpy(bytes, &value, sizeof bytes);
        for (int lane = 0; lane < 16 && 16 * g + lane < n; ++lane) {
            if (bytes[lane] != 0) continue;
            if (found == errors) return false;  // more roots than the locator's length
            positions[found++] = 16 * g + lane;
        }
    }
    return found == errors;
}

// The positions p in [0, n) where the locator (its first errors + 1
// coefficients) vanishes at alpha^(-p), into `positions`; false unless there
// are exactly `errors` of them. Blocks longer than the tables: each nonzero
// term is kept as a logarithm that falls by i from one position to the next,
// so a position costs one subtraction and one look-up a term.
bool FindErrorPositions(const Poly& locator, int errors, int n, int* positions) {
    if (n <= kTabledLength && errors <= kMaxCorrectable) return FindTabledErrorPositions(locator, errors, n, positions);
    int powers[kMaxCorrectable + 1];  // i of each nonzero term
    int logs[kMaxCorrectable + 1];    // log of term i at the current position, in [0, 255)
    int terms = 0;
    for (int i = 0; i <= errors; ++i) {
        if (locator[static_cast<size_t>(i)] == 0) continue;
        powers[terms] = i;
        logs[terms++] = kGf.log[locator[static_cast<size_t>(i)]];
    }
    int found = 0;
    for (int p = 0; p < n; ++p) {
        if (found + (n - p) < errors) return false;  // too few positions left
        uint8_t value = 0;
        for (int c = 0; c < terms; ++c) {
            value ^= kExp.exp[static_cast<size_t>(logs[c])];
            logs[c] -= powers[c];
            if (logs[c] < 0) logs[c] += 255;
        }
        if (value != 0) continue;
        if (found == errors) return false;  // more roots than the locator's length
        positions[found++] = p;
    }
    return found == errors;
}

}  // namespace

void ComputeSyndromes(int n, const uint8_t* block, int count, uint8_t* syndromes) {
    // Horner's rule at alpha^j, all j side by side so the chains run in
    // parallel.
    if (count > kMaxCheckWords) count = kMaxCheckWords;
    if (count > 0 && count <= kVectorSyndromes) {
        uint8_t all[kVectorSyndromes];
        VectorSyndromes(n, block, count > 16, all);
        std::memcpy(syndromes, all, static_cast<size_t>(count));
        return;
    }
    std::memset(syndromes, 0, static_cast<size_t>(count > 0 ? count : 0));
    for (int i = 0; i < n; ++i) {
        const uint8_t r = block[i];
        for (int j = 0; j < count; ++j)
            syndromes[j] = static_cast<uint8_t>(kPowerProducts.by[static_cast<size_t>(j)][syndromes[j]] ^ r);
    }
}

bool CheckBlock(int n, int k, const uint8_t* block) {
    if (block == nullptr || !ValidBlockShape(n, k)) return false;
    // A codeword is a multiple of g(x), whose roots are alpha^0 .. alpha^(n-k-1).
    uint8_t syndromes[kMaxCheckWords];
    SyndromesOf(n, block, n - k, syndromes);
    for (int j = 0; j < n - k; ++j)
        if (syndromes[j] != 0) return false;
    return true;
}

bool CorrectBlock(int n, int k, uint8_t* block, int t) {
    if (block == nullptr || !ValidBlockShape(n, k)) return false;
    const int checkWords = n - k;
    uint8_t syndromes[kMaxCheckWords];
    SyndromesOf(n, block, checkWords, syndromes);
    bool codeword = true;
    for (int j = 0; j < checkWords; ++j) codeword = codeword && syndromes[j] == 0;
    if (codeword) return true;
    // Never assume more errors than the work areas hold or the check words
    // could locate.
    if (t > kMaxCorrectable) t = kMaxCorrectable;
    if (2 * t > checkWords) t = checkWords / 2;
    if (t < 1) return false;

    Poly locator;
    const int errors = FindLocator(syndromes, 2 * t, locator);
    if (errors < 1 || errors > t) return false;

    if (!GeneratesRemainingSyndromes(locator, errors, syndromes, 2 * t, checkWords)) return false;

    // Error positions p (the power of x; byte n - 1 - p): roots alpha^(-p).
    int positions[kMaxCorrectable];
    if (!FindErrorPositions(locator, errors, n, positions)) return false;

    // Evaluator Omega = S * Lambda mod x^(2t); with the first syndrome at
    // alpha^0 the error value at X = alpha^p is X Omega(1/X) / Lambda'(1/X).
    Poly evaluator{};
    for (int i = 0; i < 2 * t; ++i) {
        uint8_t sum = 0;
        for (int c = 0; c <= errors && c <= i; ++c) sum ^= Mul(locator[static_cast<size_t>(c)], syndromes[i - c]);
        evaluator[static_cast<size_t>(i)] = sum;
    }
    Poly derivative{};  // odd terms only survive in characteristic 2
    for (int i = 1; i <= errors; i += 2) derivative[static_cast<size_t>(i - 1)] = locator[static_cast<size_t>(i)];

    uint8_t values[kMaxCorrectable];
    for (int c = 0; c < errors; ++c) {
        const int p = positions[c];
        const uint8_t denominator = EvaluateAtInverse(derivative.data(), errors, p);
        if (denominator == 0) return false;
        const uint8_t numerator = EvaluateAtInverse(evaluator.data(), 2 * t, p);
        values[c] = Mul(kGf.exp[static_cast<size_t>(p)], Div(numerator, denominator));
    }

    // The corrected block must be a codeword: every syndrome, the unused
    // ones included, vanishes once the errors' share is added.
    for (int j = 0; j < checkWords; ++j) {
        uint8_t sum = syndromes[j];
        for (int c = 0; c < errors; ++c) sum ^= Mul(values[c], kExp.exp[(j * positions[c]) % 255]);
        if (sum != 0) return false;
    }
    for (int c = 0; c < errors; ++c) block[n - 1 - positions[c]] ^= values[c];
    return true;
}

}  // namespace lectavo
