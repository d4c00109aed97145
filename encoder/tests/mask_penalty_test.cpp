// The mask penalty score against a plain implementation of the rules as
// stated (runs, blocks with the recorded-rectangle list, finder-like windows,
// balance), on real symbols under every mask and on random and blocky
// matrices; plus the rule's own worked cases and the choice of mask.
#include <gtest/gtest.h>

#include <cmath>
#include <cstdlib>
#include <memory>
#include <random>
#include <vector>

#include "common/qr_tables.h"
#include "mask_penalty.h"
#include "symbol_matrix.h"

namespace {

using mosaire::ModuleMatrix;

// ---- The rules, literally -------------------------------------------------

int LiteralN1(const ModuleMatrix& m) {
    int score = 0;
    for (int pass = 0; pass < 2; ++pass) {
        for (int line = 0; line < m.side; ++line) {
            int run = 0;
            int colour = -1;
            for (int u = 0; u <= m.side; ++u) {
                const int v = u == m.side ? -1 : (pass == 0 ? m.value[u][line] : m.value[line][u]);
                if (v == colour) {
                    ++run;
                    continue;
                }
                if (run >= 5) score += run - 2;
                colour = v;
                run = 1;
            }
        }
    }
    return score;
}

struct BlockRecord {
    int16_t firstRow, firstCol, lastRow, lastCol;
};

int LiteralN2(const ModuleMatrix& m) {
    const int side = m.side;
    std::vector<BlockRecord> list;
    int score = 0;
    for (int k = 0; k < side; ++k) {
        for (int r = 0; r < side; ++r) {
            if (m.isData[r][k]) continue;
            const uint8_t colour = m.value[r][k];
            for (int r2 = side - 1; r2 >= r + 1; --r2) {
                int k2 = side - 1;
                bool matched = false;
                while (k2 > k) {
                    bool same = true;
                    for (int row = r; row <= r2 && same; ++row)
                        for (int col = k; col <= k2 && same; ++col) same = m.value[row][col] == colour;
                    if (same) {
                        matched = true;
                        break;
                    }
                    --k2;
                }
                if (!matched) continue;
                bool contained = false;
                for (const BlockRecord& b : list)
                    contained = contained || (b.firstRow <= r && b.firstCol <= k && b.lastRow >= r2 && b.lastCol >= k2);
                if (contained) continue;
                list.push_back({static_cast<int16_t>(r), static_cast<int16_t>(k), static_cast<int16_t>(r2),
                                static_cast<int16_t>(k2)});
                score += 3 * (r2 - r) * (k2 - k);
            }
        }
    }
    return score;
}

int LiteralN3(const ModuleMatrix& m) {
    static const uint8_t kPattern[7] = {1, 0, 1, 1, 1, 0, 1};
    int score = 0;
    for (int pass = 0; pass < 2; ++pass) {
        for (int line = 0; line < m.side; ++line) {
            int start = 0;
            while (start + 6 < m.side) {
                bool match = true;
                for (int t = 0; t < 7; ++t) {
                    const int u = start + t;
                    match = match && (pass == 0 ? m.value[u][line] : m.value[line][u]) == kPattern[t];
                }
                if (match) score += 40;
                start += match ? 4 : 1;
            }
        }
    }
    return score;
}

int LiteralN4(const ModuleMatrix& m) {
    int dark = 0;
    for (int r = 0; r < m.side; ++r)
        for (int c = 0; c < m.side; ++c) dark += m.value[r][c];
    const double p = 100.0 * dark / (m.side * m.side);
    return 10 * static_cast<int>(std::floor(std::fabs(p - 50.0) / 5.0));
}

int LiteralPenalty(const ModuleMatrix& m) { return LiteralN1(m) + LiteralN2(m) + LiteralN3(m) + LiteralN4(m); }

// ---- Matrices ---------------------------------------------------------------

std::unique_ptr<ModuleMatrix> NewMatrix() { return std::make_unique<ModuleMatrix>(); }

// A symbol's function patterns with random codewords placed, unmasked.
void RandomSymbol(ModuleMatrix& m, int version, std::mt19937& rng) {
    mosaire::BuildFunctionPatterns(m, version);
    std::vector<uint8_t> codewords(static_cast<size_t>(qrcommon::kTotalCodewords[version]));
    for (auto& c : codewords) c = static_cast<uint8_t>(rng());
    mosaire::PlaceCodewords(m, codewords.data(), static_cast<int>(codewords.size()));
}

// The candidate of mask m: the unmasked symbol masked, with its format word.
void Candidate(const ModuleMatrix& unmasked, int level, int mask, ModuleMatrix& out) {
    out = unmasked;
    mosaire::ApplyMask(out, mask);
    mosaire::WriteFormatInfo(out, level, mask);
}

// Values dark with probability `density`, then random rectangles of one colour
// painted over them so that large blocks and long runs occur.
void RandomValues(ModuleMatrix& m, double density, int rectangles, std::mt19937& rng) {
    std::bernoulli_distribution dark(density);
    for (int r = 0; r < m.side; ++r)
        for (int c = 0; c < m.side; ++c) m.value[r][c] = dark(rng) ? 1 : 0;
    for (int n = 0; n < rectangles; ++n) {
        const int r0 = static_cast<int>(rng() % m.side), c0 = static_cast<int>(rng() % m.side);
        const int h = 1 + static_cast<int>(rng() % 9), w = 1 + static_cast<int>(rng() % 9);
        const uint8_t v = rng() % 2;
        for (int r = r0; r < std::min(m.side, r0 + h); ++r)
            for (int c = c0; c < std::min(m.side, c0 + w); ++c) m.value[r][c] = v;
    }
}

// Optimised builds compare every version; debug and sanitizer builds, where
// the plain block rule is slow, a thinner sample. MOSAIRE_TEST_SCALE scales
// the random samples.
#ifdef NDEBUG
constexpr bool kFullSample = true;
#else
constexpr bool kFullSample = false;
#endif

int Scaled(int n) {
    const char* env = std::getenv("MOSAIRE_TEST_SCALE");
    const double scale = env != nullptr ? std::atof(env) : 1.0;
    return std::max(1, static_cast<int>(n * scale * (kFullSample ? 1.0 : 0.3)));
}

std::vector<int> VersionsToCompare() {
    std::vector<int> versions;
    for (int v = 1; v <= 40; ++v)
        if (kFullSample || v <= 12 || v == 17 || v == 23) versions.push_back(v);
    if (kFullSample)
        for (int v = 1; v <= 20; ++v) versions.push_back(v);  // a second symbol of each small version
    return versions;
}

// ---- Fast score against the rules ------------------------------------------

TEST(MaskPenalty, EqualsRulesOnRealSymbolsOfEveryVersionUnderEveryMask) {
    std::mt19937 rng(7);
    auto unmasked = NewMatrix();
    auto candidate = NewMatrix();
    for (int version : VersionsToCompare()) {
        const int level = static_cast<int>(rng() % 4);
        RandomSymbol(*unmasked, version, rng);
        int literalBest = 0, literalBestScore = 0;
        for (int mask = 0; mask < 8; ++mask) {
            Candidate(*unmasked, level, mask, *candidate);
            const int literal = LiteralPenalty(*candidate);
            ASSERT_EQ(mosaire::MaskPenalty(*candidate), literal) << "version " << version << " mask " << mask;
            if (mask == 0 || literal < literalBestScore) {
                literalBest = mask;
                literalBestScore = literal;
            }
        }
        EXPECT_EQ(mosaire::ChooseMask(*unmasked, level), literalBest) << "version " << version;
    }
}

TEST(MaskPenalty, EqualsRulesOnRandomAndBlockyMatrices) {
    std::mt19937 rng(11);
    auto m = NewMatrix();
    const int samples = Scaled(2000);
    for (int i = 0; i < samples; ++i) {
        const int version = 1 + static_cast<int>(rng() % (i % 10 == 0 ? 12 : 6));
        mosaire::BuildFunctionPatterns(*m, version);
        // Every eighth sample gets a random function layer instead of a real one.
        if (i % 8 == 0) {
            std::bernoulli_distribution function(0.3);
            for (int r = 0; r < m->side; ++r)
                for (int c = 0; c < m->side; ++c) m->isData[r][c] = function(rng) ? 0 : 1;
        }
        const double density = 0.1 + 0.8 * (rng() % 100) / 100.0;
        RandomValues(*m, density, static_cast<int>(rng() % 40), rng);
        ASSERT_EQ(mosaire::MaskPenalty(*m), LiteralPenalty(*m)) << "sample " << i << " version " << version;
    }
}

TEST(MaskPenalty, EqualsRulesOnUniformSymbols) {
    auto m = NewMatrix();
    for (int version : {1, 2, 3}) {
        for (uint8_t v : {0, 1}) {
            mosaire::BuildFunctionPatterns(*m, version);
            for (int r = 0; r < m->side; ++r)
                for (int c = 0; c < m->side; ++c) m->value[r][c] = v;
            EXPECT_EQ(mosaire::MaskPenalty(*m), LiteralPenalty(*m)) << "version " << version;
        }
    }
}

// ---- Worked cases of the rules ---------------------------------------------

// A 21 x 21 checkerboard, all of it encoding region: no runs, blocks or
// finder-like patterns.
std::unique_ptr<ModuleMatrix> Checkerboard() {
    auto m = NewMatrix();
    m->side = 21;
    for (int r = 0; r < 21; ++r)
        for (int c = 0; c < 21; ++c) {
            m->value[r][c] = (r + c) % 2;
            m->isData[r][c] = 1;
        }
    return m;
}

mosaire::PenaltyParts Parts(const ModuleMatrix& m) {
    auto packed = std::make_unique<mosaire::PackedSymbol>();
    mosaire::PackSymbol(m, *packed);
    return mosaire::ScorePenalty(*packed);
}

TEST(MaskPenalty, RunsScoreTheirLengthLessTwoFromFiveOn) {
    const auto base = Checkerboard();
    EXPECT_EQ(Parts(*base).n1, 0);
    EXPECT_EQ(Parts(*base).n2, 0);
    EXPECT_EQ(Parts(*base).n3, 0);
    for (const auto& [length, expected] : {std::pair{11, 9}, {5, 3}, {4, 0}}) {
        auto m = Checkerboard();
        for (int r = 3; r < 3 + length; ++r) m->value[r][10] = 0;  // a light vertical run
        m->value[2][10] = m->value[3 + length][10] = 1;            // between dark ends
        EXPECT_EQ(Parts(*m).n1, expected) << "run of " << length;
    }
}

TEST(MaskPenalty, BlocksCountOnlyFromFunctionCorners) {
    auto m = Checkerboard();
    for (int r = 8; r < 10; ++r)
        for (int c = 8; c < 10; ++c) m->value[r][c] = 1;
    EXPECT_EQ(Parts(*m).n2, 0);  // corner in the encoding region
    m->isData[8][8] = 0;
    EXPECT_EQ(Parts(*m).n2, 3);
    EXPECT_EQ(LiteralN2(*m), 3);
}

TEST(MaskPenalty, FinderCentreIsOneBlockOfTwelve) {
    auto m = Checkerboard();
    for (int r = 0; r < 7; ++r)
        for (int c = 0; c < 7; ++c) {
            const int ring = std::max(std::abs(r - 3), std::abs(c - 3));
            m->value[r][c] = ring == 2 ? 0 : 1;
            m->isData[r][c] = 0;
        }
    EXPECT_EQ(LiteralN2(*m), 12);
    EXPECT_EQ(Parts(*m).n2, 12);
}

TEST(MaskPenalty, FinderLikeWindowNeedsNoLightMargin) {
    auto m = Checkerboard();
    m->side = 7;
    const uint8_t row[7] = {1, 0, 1, 1, 1, 0, 1};
    for (int c = 0; c < 7; ++c) m->value[0][c] = row[c];
    EXPECT_EQ(Parts(*m).n3, LiteralN3(*m));
    EXPECT_GE(LiteralN3(*m), 40);
}

TEST(MaskPenalty, BalanceCountsWholeStepsOfFivePercent) {
    auto m = Checkerboard();
    m->side = 10;  // 100 modules: p is the number of dark ones
    for (const auto& [dark, expected] :
         {std::pair{50, 0}, {45, 10}, {46, 0}, {55, 10}, {54, 0}, {0, 100}, {100, 100}}) {
        for (int n = 0; n < 100; ++n) m->value[n / 10][n % 10] = n < dark ? 1 : 0;
        EXPECT_EQ(Parts(*m).n4, expected) << dark << " dark";
        EXPECT_EQ(LiteralN4(*m), expected) << dark << " dark";
    }
}

}  // namespace
