#include "mask_penalty.h"

#include <algorithm>
#include <bit>
#include <array>
#include <memory>

#include "symbol_matrix.h"

namespace mosaire {

namespace {

using Line = uint64_t[kLineWords];

inline void LowBits(int n, uint64_t* out) {
    for (int w = 0; w < kLineWords; ++w) {
        const int bits = std::clamp(n - 64 * w, 0, 64);
        out[w] = bits == 64 ? ~uint64_t{0} : ((uint64_t{1} << bits) - 1);
    }
}

// Bit count without a library call where the target has no count instruction.
inline int Popcount(uint64_t x) {
#if defined(__POPCNT__)
    return std::popcount(x);
#else
    x = x - ((x >> 1) & 0x5555555555555555ull);
    x = (x & 0x3333333333333333ull) + ((x >> 2) & 0x3333333333333333ull);
    x = (x + (x >> 4)) & 0x0F0F0F0F0F0F0F0Full;
    return static_cast<int>((x * 0x0101010101010101ull) >> 56);
#endif
}

// Lines of W words (the side rounded up to whole words).
template <int W>
struct LineOps {
    // result bit j = x bit j + s, for 0 < s < 64.
    static void ShiftDown(const uint64_t* x, int s, uint64_t* out) {
        for (int w = 0; w + 1 < W; ++w) out[w] = (x[w] >> s) | (x[w + 1] << (64 - s));
        out[W - 1] = x[W - 1] >> s;
    }
};

// Positions where a window of 5 (N1) or 7 (N3) modules still fits the line.
struct Windows {
    Line five;
    Line seven;
};

// N1 and N3 of one line.
struct LineScore {
    int runs = 0;      // N1 contribution
    int patterns = 0;  // finder-like occurrences
};

template <int W>
inline void ScoreLine(const uint64_t* x, const Windows& windows, LineScore& score) {
    uint64_t s1[W], s2[W], s3[W], s4[W], s5[W], s6[W];
    LineOps<W>::ShiftDown(x, 1, s1);
    LineOps<W>::ShiftDown(x, 2, s2);
    LineOps<W>::ShiftDown(x, 3, s3);
    LineOps<W>::ShiftDown(x, 4, s4);
    LineOps<W>::ShiftDown(x, 5, s5);
    LineOps<W>::ShiftDown(x, 6, s6);

    // w5[j]: modules j..j+4 all equal. A run of L >= 5 sets L - 4 bits of w5 in
    // a row and scores L - 2, so N1 = bits of w5 + 2 per group of bits.
    uint64_t carry = 0;
    for (int w = 0; w < W; ++w) {
        const uint64_t w5 = ~(x[w] ^ s1[w]) & ~(x[w] ^ s2[w]) & ~(x[w] ^ s3[w]) & ~(x[w] ^ s4[w]) & windows.five[w];
        if (w5 != 0) {
            const uint64_t starts = w5 & ~((w5 << 1) | carry);
            score.runs += Popcount(w5) + 2 * Popcount(starts);
        }
        carry = w5 >> 63;
    }
    // Dark, light, dark, dark, dark, light, dark at j..j+6. Two occurrences
    // never overlap by fewer than four modules, so counting them all equals the
    // window that skips four after each find.
    for (int w = 0; w < W; ++w) {
        const uint64_t p = x[w] & ~s1[w] & s2[w] & s3[w] & s4[w] & ~s5[w] & s6[w] & windows.seven[w];
        if (p != 0) score.patterns += Popcount(p);
    }
}

inline bool Bit(const uint64_t* x, int j) { return (x[j >> 6] >> (j & 63)) & 1; }

// The block rule. For a corner (r, k) of colour c the widest matching
// rectangle for bottom row r2 reaches column k + min(run right of k over rows
// r..r2) - 1, so the matches form a staircase; only the tallest rectangle of
// each width escapes its own corner's earlier, taller ones. A rectangle is
// contained in one recorded for another corner exactly when some function
// module (a, b) with a <= r, b <= k spans a uniform rectangle to (r2, k2):
// every such corner is scanned earlier and matches a rectangle to at least
// (r2, k2). So the score does not depend on the order of the list and the test
// is a walk over the uniform area up and left of the corner.
class BlockScorer {
public:
    explicit BlockScorer(const PackedSymbol& p) : p_(p), side_(p.side) {
        LowBits(side_, outside_);
        for (auto& w : outside_) w = ~w;
    }

    int Score() const {
        // Only corners that start a uniform 2 x 2 square can match anything.
        uint64_t last[kLineWords];
        LowBits(side_ - 1, last);
        int total = 0;
        for (int r = 0; r + 1 < side_; ++r) {
            const uint64_t* a = p_.rows[r];
            const uint64_t* b = p_.rows[r + 1];
            for (int w = 0; w < kLineWords; ++w) {
                const uint64_t a1 = (a[w] >> 1) | (w + 1 < kLineWords ? a[w + 1] << 63 : 0);
                const uint64_t b1 = (b[w] >> 1) | (w + 1 < kLineWords ? b[w + 1] << 63 : 0);
                uint64_t corners = p_.function[r][w] & last[w] & ~(a[w] ^ a1) & ~(a[w] ^ b[w]) & ~(b[w] ^ b1);
                for (; corners != 0; corners &= corners - 1)
                    total += ScoreCorner(r, 64 * w + std::countr_zero(corners));
            }
        }
        return total;
    }

private:
    // Word w of row `row` with a bit set where the module differs from colour c;
    // everything outside the symbol counts as different.
    uint64_t Differ(int row, int w, bool c) const {
        const uint64_t line = p_.rows[row][w];
        return (c ? ~line : line) | outside_[w];
    }

    // Bits lo..hi (inclusive, lo <= hi) that fall into word w.
    static uint64_t Range(int lo, int hi, int w) {
        const int a = std::max(lo - 64 * w, 0);
        const int b = std::min(hi - 64 * w, 63);
        if (a > b) return 0;
        return (~uint64_t{0} >> (63 - (b - a))) << a;
    }

    // Length of the run of colour c that starts at column k of row `row`.
    int RunRight(int row, int k, bool c) const {
        int w = k >> 6;
        const uint64_t bits = Differ(row, w, c) >> (k & 63);
        if (bits != 0) return std::countr_zero(bits);
        for (++w;; ++w) {  // the bits beyond the side always end the run
            const uint64_t d = Differ(row, w, c);
            if (d != 0) return 64 * w + std::countr_zero(d) - k;
        }
    }

    // First column of the run of colour c that ends at column k2 of the row;
    // k2 + 1 when the module at k2 has the other colour.
    int RunStart(int row, int k2, bool c) const {
        int w = k2 >> 6;
        const uint64_t bits = Differ(row, w, c) << (63 - (k2 & 63));  // bit 63 holds column k2
        if (bits != 0) return k2 - std::countl_zero(bits) + 1;
        for (--w; w >= 0; --w) {
            const uint64_t d = Differ(row, w, c);
            if (d != 0) return 64 * w + 63 - std::countl_zero(d) + 1;
        }
        return 0;
    }

    // True when rows r0..r1 of column j all have colour c.
    bool ColumnUniform(int j, int r0, int r1, bool c) const {
        for (int w = r0 >> 6; w <= r1 >> 6; ++w) {
            const uint64_t line = p_.cols[j][w];
            if ((c ? ~line : line) & Range(r0, r1, w)) return false;
        }
        return true;
    }

    bool AnyFunction(int row, int lo, int hi) const {
        if (hi < lo) return false;
        for (int w = lo >> 6; w <= hi >> 6; ++w)
            if (p_.function[row][w] & Range(lo, hi, w)) return true;
        return false;
    }

    // Whether rectangle (r, k)-(r2, k2) of colour c lies inside a uniform
    // rectangle whose top-left corner is another function module.
    bool Contained(int r, int k, int r2, int k2, bool c) const {
        int b = k;  // leftmost column that rows a..r2 all cover up to k2
        if (k > 0 && ColumnUniform(k - 1, r, r2, c)) {
            b = 0;
            for (int row = r; row <= r2 && b < k; ++row) b = std::max(b, RunStart(row, k2, c));
        }
        if (AnyFunction(r, b, k - 1)) return true;
        for (int a = r - 1; a >= 0; --a) {
            b = std::max(b, RunStart(a, k2, c));
            if (b > k) return false;
            if (AnyFunction(a, b, k)) return true;
        }
        return false;
    }

    int Emit(int r, int k, int r2, int width, bool c) const {
        const int k2 = k + width - 1;
        return Contained(r, k, r2, k2, c) ? 0 : 3 * (r2 - r) * (k2 - k);
    }

    int ScoreCorner(int r, int k) const {
        const bool c = Bit(p_.rows[r], k);
        int width = RunRight(r, k, c);
        if (width < 2) return 0;
        int total = 0;
        for (int r2 = r + 1; r2 < side_; ++r2) {
            const int next = Bit(p_.rows[r2], k) == c ? std::min(width, RunRight(r2, k, c)) : 0;
            if (next < width) {
                if (r2 - 1 > r) total += Emit(r, k, r2 - 1, width, c);
                width = next;
                if (width < 2) return total;
            }
        }
        return total + Emit(r, k, side_ - 1, width, c);
    }

    const PackedSymbol& p_;
    int side_;
    Line outside_;
};

}  // namespace

namespace {

using Layer = uint8_t[kMaxSide][kMaxSide];

// Bit j of out[i] = (layer[i][j] != 0) XOR flip, bits beyond the side zero.
void PackRows(const Layer& layer, int side, bool flip, uint64_t (*out)[kLineWords]) {
    for (int i = 0; i < side; ++i) {
        for (int w = 0; w < kLineWords; ++w) {
            uint64_t acc = 0;
            const int end = std::min(side, 64 * w + 64);
            for (int j = 64 * w; j < end; ++j) acc |= uint64_t{(layer[i][j] != 0) != flip} << (j & 63);
            out[i][w] = acc;
        }
    }
}

// Bit i of out[j] = (layer[i][j] != 0), bits beyond the side zero.
void PackColumns(const Layer& layer, int side, uint64_t (*out)[kLineWords]) {
    for (int j = 0; j < side; ++j) {
        for (int w = 0; w < kLineWords; ++w) {
            uint64_t acc = 0;
            const int end = std::min(side, 64 * w + 64);
            for (int i = 64 * w; i < end; ++i) acc |= uint64_t{layer[i][j] != 0} << (i & 63);
            out[j][w] = acc;
        }
    }
}

}  // namespace

void PackSymbol(const ModuleMatrix& m, PackedSymbol& packed) {
    packed.side = m.side;
    PackRows(m.value, m.side, false, packed.rows);
    PackColumns(m.value, m.side, packed.cols);
    PackRows(m.isData, m.side, true, packed.function);
}

namespace {

template <int W>
void ScoreLines(const PackedSymbol& packed, PenaltyParts& parts, int64_t& dark) {
    const int side = packed.side;
    Windows windows;
    LowBits(side - 4, windows.five);
    LowBits(side - 6, windows.seven);
    LineScore lines;
    for (int i = 0; i < side; ++i) {
        ScoreLine<W>(packed.rows[i], windows, lines);
        ScoreLine<W>(packed.cols[i], windows, lines);
        for (int w = 0; w < W; ++w) dark += Popcount(packed.rows[i][w]);
    }
    parts.n1 = lines.runs;
    parts.n3 = 40 * lines.patterns;
}

}  // namespace

PenaltyParts ScorePenalty(const PackedSymbol& packed) {
    const int side = packed.side;
    PenaltyParts parts;
    int64_t dark = 0;
    if (side <= 64)
        ScoreLines<1>(packed, parts, dark);
    else if (side <= 128)
        ScoreLines<2>(packed, parts, dark);
    else
        ScoreLines<3>(packed, parts, dark);
    parts.n2 = BlockScorer(packed).Score();
    // p = 100 dark / side^2 exactly; N4 = 10 floor(|p - 50| / 5), in integers.
    const int64_t total = int64_t{side} * side;
    const int64_t deviation = dark * 100 > total * 50 ? dark * 100 - total * 50 : total * 50 - dark * 100;
    parts.n4 = static_cast<int>(10 * (deviation / (5 * total)));
    return parts;
}

int MaskPenalty(const ModuleMatrix& m) {
    const auto packed = std::make_unique<PackedSymbol>();
    PackSymbol(m, *packed);
    return ScorePenalty(*packed).total();
}

namespace {

// Mask conditions as bit lines: rows[m][i % 12] has bit j set where mask m
// inverts (i, j); cols[m][j % 12] has bit i set. Every condition repeats with
// period 12 in both directions.
struct MaskLines {
    uint64_t rows[8][12][kLineWords];
    uint64_t cols[8][12][kLineWords];
};

MaskLines MakeMaskLines() {
    MaskLines t{};
    for (int m = 0; m < 8; ++m) {
        for (int a = 0; a < 12; ++a) {
            for (int b = 0; b < kMaxSide; ++b) {
                if (MaskCondition(m, a, b)) t.rows[m][a][b >> 6] |= uint64_t{1} << (b & 63);
                if (MaskCondition(m, b, a)) t.cols[m][a][b >> 6] |= uint64_t{1} << (b & 63);
            }
        }
    }
    return t;
}

const MaskLines& Masks() {
    static const MaskLines lines = MakeMaskLines();
    return lines;
}

inline void SetBit(uint64_t* line, int j) { line[j >> 6] |= uint64_t{1} << (j & 63); }

}  // namespace

int ChooseMask(const ModuleMatrix& unmasked, int level) {
    const int side = unmasked.side;
    const MaskLines& masks = Masks();

    PackedSymbol base;
    PackSymbol(unmasked, base);
    uint64_t dataRows[kMaxSide][kLineWords];
    uint64_t dataCols[kMaxSide][kLineWords];
    PackRows(unmasked.isData, side, false, dataRows);
    PackColumns(unmasked.isData, side, dataCols);

    PackedSymbol candidate;
    candidate.side = side;
    for (int i = 0; i < side; ++i)
        for (int w = 0; w < kLineWords; ++w) candidate.function[i][w] = base.function[i][w];

    int best = 0;
    int bestScore = 0;
    for (int m = 0; m < 8; ++m) {
        for (int i = 0, p = 0; i < side; ++i, p = (p == 11 ? 0 : p + 1)) {
            for (int w = 0; w < kLineWords; ++w) {
                candidate.rows[i][w] = base.rows[i][w] ^ (masks.rows[m][p][w] & dataRows[i][w]);
                candidate.cols[i][w] = base.cols[i][w] ^ (masks.cols[m][p][w] & dataCols[i][w]);
            }
        }
        // Format modules are light in the base; set the dark ones of this mask.
        const uint16_t word = FormatWord(level, m);
        for (int bit = 0; bit < qrcommon::kFormatBits; ++bit) {
            if (((word >> bit) & 1) == 0) continue;
            for (int copy = 0; copy < 2; ++copy) {
                const qrcommon::ModulePosition pos = qrcommon::FormatBitPosition(side, bit, copy);
                SetBit(candidate.rows[pos.row], pos.column);
                SetBit(candidate.cols[pos.column], pos.row);
            }
        }
        const int score = ScorePenalty(candidate).total();
        if (m == 0 || score < bestScore) {
            best = m;
            bestScore = score;
        }
    }
    return best;
}

}  // namespace mosaire
