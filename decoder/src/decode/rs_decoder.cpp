// Block check by polynomial division and a direct linear-algebra corrector:
// for each assumed number of errors v = 1..t, solve for the error locator,
// find its roots by trying every position, solve for the error values, apply
// them and keep the result only if the block is then a codeword. A block of
// at most t errors has a unique nearest codeword, so whichever solve finds a
// correction that checks, it is that codeword.
#include "decode/rs_decoder.h"

#include <array>
#include <utility>
#include <cstring>

#include "common/gf256.h"

namespace lectavo {
namespace {

using qrcommon::GfMul;
using qrcommon::kGf;

inline constexpr int kMaxCheckWords = 68;

// Generator polynomials as the logarithms of their coefficients below the
// leading 1, highest degree first: entry [e][i] belongs to x^(e-1-i).
struct GeneratorLogs {
    std::array<std::array<uint8_t, kMaxCheckWords>, kMaxCheckWords + 1> log{};
    bool allNonZero = true;
};

constexpr GeneratorLogs MakeGeneratorLogs() {
    GeneratorLogs g{};
    for (int e = 1; e <= kMaxCheckWords; ++e)
        for (int i = 0; i < e; ++i) {
            const uint8_t c = qrcommon::kGenerators[e].coef[e - 1 - i];
            if (c == 0) g.allNonZero = false;
            g.log[e][i] = kGf.log[c];
        }
    return g;
}

constexpr GeneratorLogs kGeneratorLogs = MakeGeneratorLogs();
static_assert(kGeneratorLogs.allNonZero, "a zero generator coefficient has no logarithm");

inline uint8_t AlphaPower(int exponent) { return kGf.exp[exponent % 255]; }

uint8_t Divide(uint8_t a, uint8_t b) {  // b != 0
    if (a == 0) return 0;
    return kGf.exp[(kGf.log[a] + 255 - kGf.log[b]) % 255];
}

bool ValidBlockShape(int n, int k) { return k >= 0 && n > k && n <= kMaxBlockLength && n - k <= kMaxCheckWords; }

// Solves `system` with equation i placed in row (i + r) mod m for
// r = 0 .. m-1, stopping at the first order the solver accepts.
bool SolveRotated(const LinearRows& equations, int m, uint8_t* solution) {
    LinearRows rotated{};
    for (int r = 0; r < m; ++r) {
        for (int i = 0; i < m; ++i) std::memcpy(rotated[(i + r) % m], equations[i], sizeof(rotated[0]));
        if (SolveSystem(rotated, m, solution)) return true;
    }
    return false;
}

// The elimination without row exchanges, in every cyclic row order; only
// when each order meets a zero divisor, a pivoting solve, which fails only
// for a singular system. Where the first succeeds its solution is kept, so
// the pivoting solve changes nothing that was corrected before.
bool SolveEquations(const LinearRows& equations, int m, uint8_t* solution) {
    return SolveRotated(equations, m, solution) || SolvePivoting(equations, m, solution);
}

// Tries one assumed error count v; on success the block is corrected.
bool TryErrorCount(int n, int k, uint8_t* block, const uint8_t* syndromes, int v) {
    LinearRows equations{};
    uint8_t locator[kMaxCorrectable];
    for (int i = 0; i < v; ++i) {
        for (int c = 0; c < v; ++c) equations[i][c] = syndromes[i + c];
        equations[i][v] = syndromes[i + v];
    }
    if (!SolveEquations(equations, v, locator)) return false;

    int positions[kMaxCorrectable];
    int found = 0;
    for (int p = 0; p < n; ++p) {
        uint8_t sum = 0;
        for (int c = 0; c < v; ++c) sum ^= GfMul(locator[c], AlphaPower(c * p));
        if (sum != AlphaPower(v * p)) continue;
        if (found == v) return false;  // more roots than assumed errors
        positions[found++] = p;
    }
    if (found != v) return false;

    uint8_t values[kMaxCorrectable];
    for (int i = 0; i < v; ++i) {
        for (int c = 0; c < v; ++c) equations[i][c] = AlphaPower(positions[c] * i);
        equations[i][v] = syndromes[i];
    }
    if (!SolveEquations(equations, v, values)) return false;

    for (int c = 0; c < v; ++c) block[n - 1 - positions[c]] ^= values[c];
    if (CheckBlock(n, k, block)) return true;
    for (int c = 0; c < v; ++c) block[n - 1 - positions[c]] ^= values[c];
    return false;
}

}  // namespace

void ComputeSyndromes(int n, const uint8_t* block, int count, uint8_t* syndromes) {
    for (int j = 0; j < count; ++j) {
        uint8_t sum = 0;
        for (int i = 0; i < n; ++i) sum ^= GfMul(block[i], AlphaPower(j * (n - 1 - i)));
        syndromes[j] = sum;
    }
}

bool SolveSystem(const LinearRows& system, int m, uint8_t* solution) {
    if (m < 1 || m > kMaxCorrectable) return false;
    LinearRows rows;  // constants are moved left as variables are substituted
    LinearRows work;
    std::memcpy(rows, system, sizeof(rows));
    for (int size = m; size >= 1; --size) {
        std::memcpy(work, rows, sizeof(work));
        // Each step removes the first variable and the last row.
        for (int s = size; s > 1; --s) {
            const uint8_t lastLead = work[s - 1][0];
            for (int r = 0; r < s - 1; ++r) {
                const uint8_t lead = work[r][0];
                for (int q = 0; q < s; ++q)
                    work[r][q] =
                        static_cast<uint8_t>(GfMul(lastLead, work[r][q + 1]) ^ GfMul(lead, work[s - 1][q + 1]));
            }
        }
        if (work[0][0] == 0) return false;
        const uint8_t x = Divide(work[0][1], work[0][0]);
        solution[size - 1] = x;
        for (int r = 0; r < size - 1; ++r)
            rows[r][size - 1] = static_cast<uint8_t>(rows[r][size] ^ GfMul(rows[r][size - 1], x));
    }
    return true;
}

bool SolvePivoting(const LinearRows& system, int m, uint8_t* solution) {
    if (m < 1 || m > kMaxCorrectable) return false;
    LinearRows rows;
    std::memcpy(rows, system, sizeof(rows));
    for (int col = 0; col < m; ++col) {
        int pivot = col;
        while (pivot < m && rows[pivot][col] == 0) ++pivot;
        if (pivot == m) return false;
        if (pivot != col) std::swap(rows[pivot], rows[col]);
        const uint8_t lead = rows[col][col];
        for (int q = col; q <= m; ++q) rows[col][q] = Divide(rows[col][q], lead);
        for (int r = 0; r < m; ++r) {
            const uint8_t factor = rows[r][col];
            if (r == col || factor == 0) continue;
            for (int q = col; q <= m; ++q) rows[r][q] ^= GfMul(factor, rows[col][q]);
        }
    }
    for (int i = 0; i < m; ++i) solution[i] = rows[i][m];
    return true;
}

bool CheckBlock(int n, int k, const uint8_t* block) {
    if (block == nullptr || !ValidBlockShape(n, k)) return false;
    const int e = n - k;
    const auto& g = kGeneratorLogs.log[e];
    uint8_t work[kMaxBlockLength];
    std::memcpy(work, block, static_cast<size_t>(n));
    // Long division by g(x); the window moves one byte per step instead of
    // shifting the bytes down.
    for (int step = 0; step < k; ++step) {
        const uint8_t lead = work[step];
        if (lead == 0) continue;
        const int l = kGf.log[lead];
        for (int i = 0; i < e; ++i) work[step + 1 + i] ^= kGf.exp[(g[i] + l) % 255];
    }
    for (int i = k; i < n; ++i)
        if (work[i] != 0) return false;
    return true;
}

bool CorrectBlock(int n, int k, uint8_t* block, int t) {
    if (block == nullptr || !ValidBlockShape(n, k)) return false;
    if (CheckBlock(n, k, block)) return true;
    // Never assume more errors than the work areas hold or the check words
    // could locate.
    if (t > kMaxCorrectable) t = kMaxCorrectable;
    if (2 * t > n - k) t = (n - k) / 2;
    if (t < 1) return false;
    uint8_t syndromes[2 * kMaxCorrectable];
    ComputeSyndromes(n, block, 2 * t, syndromes);
    for (int v = 1; v <= t; ++v)
        if (TryErrorCount(n, k, block, syndromes, v)) return true;
    return false;
}

}  // namespace lectavo
