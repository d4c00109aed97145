#include "mask_penalty.h"

#include <algorithm>
#include <bit>
#include <array>
#include <memory>

#include "symbol_matrix.h"

namespace mosaire {

namespace {

using Line = uint64_t[kLineWords];

// result bit j = x bit j + s, for 0 < s < 64.
inline void ShiftDown(const uint64_t* x, int s, uint64_t* out) {
    out[0] = (x[0] >> s) | (x[1] << (64 - s));
    out[1] = (x[1] >> s) | (x[2] << (64 - s));
    out[2] = x[2] >> s;
}

inline void LowBits(int n, uint64_t* out) {
    for (int w = 0; w < kLineWords; ++w) {
        const int bits = std::clamp(n - 64 * w, 0, 64);
        out[w] = bits == 64 ? ~uint64_t{0} : ((uint64_t{1} << bits) - 1);
    }
}

// N1 and N3 of one line of n modules.
struct LineScore {
    int runs = 0;      // N1 contribution
    int patterns = 0;  // finder-like occurrences
};

LineScore ScoreLine(const uint64_t* x, int n) {
    uint64_t s1[kLineWords], s2[kLineWords], s3[kLineWords], s4[kLineWords], s5[kLineWords],
        s6[kLineWords], valid[kLineWords];
    ShiftDown(x, 1, s1);
    ShiftDown(x, 2, s2);
    ShiftDown(x, 3, s3);
    ShiftDown(x, 4, s4);
    ShiftDown(x, 5, s5);
    ShiftDown(x, 6, s6);

    LineScore score;
    // w5[j]: modules j..j+4 all equal. A run of L >= 5 sets L - 4 bits of w5 in
    // a row and scores L - 2, so N1 = bits of w5 + 2 per group of bits.
    LowBits(n - 4, valid);
    uint64_t carry = 0;
    for (int w = 0; w < kLineWords; ++w) {
        const uint64_t w5 = ~(x[w] ^ s1[w]) & ~(x[w] ^ s2[w]) & ~(x[w] ^ s3[w]) & ~(x[w] ^ s4[w]) & valid[w];
        const uint64_t starts = w5 & ~((w5 << 1) | carry);
        carry = w5 >> 63;
        score.runs += std::popcount(w5) + 2 * std::popcount(starts);
    }
    // Dark, light, dark, dark, dark, light, dark at j..j+6. Two occurrences
    // never overlap by fewer than four modules, so counting them all equals the
    // window that skips four after each find.
    LowBits(n - 6, valid);
    for (int w = 0; w < kLineWords; ++w) {
        const uint64_t p = x[w] & ~s1[w] & s2[w] & s3[w] & s4[w] & ~s5[w] & s6[w] & valid[w];
        score.patterns += std::popcount(p);
    }
    return score;
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
    explicit BlockScorer(const PackedSymbol& p) : p_(p), side_(p.side) { LowBits(side_, inside_); }

    int Score() const {
        int total = 0;
        for (int r = 0; r + 1 < side_; ++r) {
            for (int w = 0; w < kLineWords; ++w) {
                for (uint64_t bits = p_.function[r][w]; bits != 0; bits &= bits - 1)
                    total += ScoreCorner(r, 64 * w + std::countr_zero(bits));
            }
        }
        return total;
    }

private:
    // Modules of row `row` that differ from colour c, with everything outside
    // the symbol counted as different.
    void Differ(const uint64_t* line, bool c, uint64_t* out) const {
        for (int w = 0; w < kLineWords; ++w) out[w] = (c ? ~line[w] : line[w]) | ~inside_[w];
    }

    // Length of the run of colour c that starts at column k of row `row`.
    int RunRight(int row, int k, bool c) const {
        uint64_t d[kLineWords];
        Differ(p_.rows[row], c, d);
        int w = k >> 6;
        uint64_t bits = d[w] >> (k & 63);
        if (bits != 0) return std::countr_zero(bits);
        for (++w; w < kLineWords; ++w)
            if (d[w] != 0) return 64 * w + std::countr_zero(d[w]) - k;
        return 192 - k;
    }

    // First column of the run of colour c that ends at column k2 of the row;
    // k2 + 1 when the module at k2 has the other colour.
    int RunStart(int row, int k2, bool c) const {
        uint64_t d[kLineWords];
        Differ(p_.rows[row], c, d);
        int w = k2 >> 6;
        const int shift = 63 - (k2 & 63);
        uint64_t bits = (d[w] << shift);  // bit 63 now holds column k2
        if (bits != 0) return k2 - std::countl_zero(bits) + 1;
        for (--w; w >= 0; --w)
            if (d[w] != 0) return 64 * w + 63 - std::countl_zero(d[w]) + 1;
        return 0;
    }

    // True when rows r0..r1 of column j all have colour c.
    bool ColumnUniform(int j, int r0, int r1, bool c) const {
        uint64_t range[kLineWords], below[kLineWords];
        LowBits(r1 + 1, range);
        LowBits(r0, below);
        for (int w = 0; w < kLineWords; ++w) {
            const uint64_t bits = c ? ~p_.cols[j][w] : p_.cols[j][w];
            if (bits & range[w] & ~below[w]) return false;
        }
        return true;
    }

    bool AnyFunction(int row, int lo, int hi) const {
        if (hi < lo) return false;
        uint64_t upTo[kLineWords], below[kLineWords];
        LowBits(hi + 1, upTo);
        LowBits(lo, below);
        for (int w = 0; w < kLineWords; ++w)
            if (p_.function[row][w] & upTo[w] & ~below[w]) return true;
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
            const int next = std::min(width, RunRight(r2, k, c));
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
    Line inside_;
};

}  // namespace

void PackSymbol(const ModuleMatrix& m, PackedSymbol& packed) {
    const int side = m.side;
    packed.side = side;
    for (int i = 0; i < side; ++i) {
        for (int w = 0; w < kLineWords; ++w) packed.rows[i][w] = packed.cols[i][w] = packed.function[i][w] = 0;
    }
    for (int i = 0; i < side; ++i) {
        for (int j = 0; j < side; ++j) {
            const uint64_t v = m.value[i][j] & 1;
            packed.rows[i][j >> 6] |= v << (j & 63);
            packed.cols[j][i >> 6] |= v << (i & 63);
            packed.function[i][j >> 6] |= uint64_t{m.isData[i][j] == 0} << (j & 63);
        }
    }
}

PenaltyParts ScorePenalty(const PackedSymbol& packed) {
    const int side = packed.side;
    PenaltyParts parts;
    int patterns = 0;
    int64_t dark = 0;
    for (int i = 0; i < side; ++i) {
        const LineScore row = ScoreLine(packed.rows[i], side);
        const LineScore col = ScoreLine(packed.cols[i], side);
        parts.n1 += row.runs + col.runs;
        patterns += row.patterns + col.patterns;
        for (int w = 0; w < kLineWords; ++w) dark += std::popcount(packed.rows[i][w]);
    }
    parts.n3 = 40 * patterns;
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
    uint64_t inside[kLineWords];
    LowBits(side, inside);
    for (int i = 0; i < side; ++i)
        for (int w = 0; w < kLineWords; ++w) {
            dataRows[i][w] = ~base.function[i][w] & inside[w];
            dataCols[i][w] = 0;
        }
    for (int i = 0; i < side; ++i)
        for (int j = 0; j < side; ++j)
            if (unmasked.isData[i][j]) SetBit(dataCols[j], i);

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
        for (int bit = 0; bit < 15; ++bit) {
            if (((word >> bit) & 1) == 0) continue;
            for (int copy = 0; copy < 2; ++copy) {
                const ModulePos pos = FormatBitPosition(side, bit, copy);
                SetBit(candidate.rows[pos.row], pos.col);
                SetBit(candidate.cols[pos.col], pos.row);
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
