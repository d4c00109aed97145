// Block check and error correction against blocks encoded here with the
// generator polynomials of the shared GF(256) tables.
#include "decode/rs_decoder.h"

#include <gtest/gtest.h>

#include <random>
#include <set>
#include <tuple>
#include <vector>

#include "common/gf256.h"
#include "common/qr_tables.h"

namespace {

using lectavo::CheckBlock;
using lectavo::CorrectBlock;
using qrcommon::GfMul;

// Systematic RS encoding by shift-register division: data then e check words.
std::vector<uint8_t> EncodeBlock(const std::vector<uint8_t>& data, int e) {
    const auto& g = qrcommon::kGenerators[e];
    std::vector<uint8_t> rem(e, 0);
    for (uint8_t d : data) {
        const uint8_t f = d ^ rem[0];
        rem.erase(rem.begin());
        rem.push_back(0);
        for (int i = 0; i < e; ++i) rem[i] ^= GfMul(f, g.coef[e - 1 - i]);
    }
    std::vector<uint8_t> block = data;
    block.insert(block.end(), rem.begin(), rem.end());
    return block;
}

std::vector<uint8_t> RandomBlock(std::mt19937& rng, int n, int k) {
    std::vector<uint8_t> data(k);
    for (auto& d : data) d = static_cast<uint8_t>(rng());
    return EncodeBlock(data, n - k);
}

// Changes `count` distinct bytes to different values.
void AddErrors(std::mt19937& rng, std::vector<uint8_t>& block, int count) {
    std::set<int> used;
    while (static_cast<int>(used.size()) < count) {
        const int p = static_cast<int>(rng() % block.size());
        if (!used.insert(p).second) continue;
        block[p] ^= static_cast<uint8_t>(1 + rng() % 255);
    }
}

int Distance(const std::vector<uint8_t>& a, const std::vector<uint8_t>& b) {
    int d = 0;
    for (size_t i = 0; i < a.size(); ++i) d += a[i] != b[i];
    return d;
}

struct Shape {
    int n, k, t;
};
// Block shapes of the version table: 1-L, 1-H, 2-M, 5-Q group 2, 7-H, 40-L;
// then a block longer than any of the table (decoded without the tables
// made for those).
const Shape kShapes[] = {{26, 19, 2},  {26, 9, 8},     {44, 28, 8},   {34, 16, 9},
                         {39, 13, 13}, {148, 118, 15}, {200, 170, 15}};

class ReedSolomon : public ::testing::Test {
protected:
    std::mt19937 rng{1234};
};

TEST_F(ReedSolomon, CleanBlocksAreCodewordsAndStayUnchanged) {
    for (const Shape& s : kShapes) {
        auto block = RandomBlock(rng, s.n, s.k);
        const auto original = block;
        EXPECT_TRUE(CheckBlock(s.n, s.k, block.data()));
        EXPECT_TRUE(CorrectBlock(s.n, s.k, block.data(), s.t));
        EXPECT_EQ(block, original);
        block[s.n / 2] ^= 1;
        EXPECT_FALSE(CheckBlock(s.n, s.k, block.data()));
    }
}

TEST_F(ReedSolomon, CorrectsUpToTErrors) {
    for (const Shape& s : kShapes)
        for (int errors = 1; errors <= s.t; ++errors)
            for (int trial = 0; trial < 4; ++trial) {
                const auto original = RandomBlock(rng, s.n, s.k);
                auto block = original;
                AddErrors(rng, block, errors);
                ASSERT_TRUE(CorrectBlock(s.n, s.k, block.data(), s.t)) << "n=" << s.n << " errors=" << errors;
                EXPECT_EQ(block, original) << "n=" << s.n << " errors=" << errors;
            }
}

// Exactly t errors in every block shape of the version table: the
// elimination without row exchanges meets systems that are singular in every
// row order here (a few in a hundred near t = 15); none may be given up.
TEST_F(ReedSolomon, EveryBlockShapeOfTheTableIsCorrectedWithTErrors) {
    std::set<std::tuple<int, int, int>> shapes;
    for (int version = 1; version <= 40; ++version)
        for (const qrcommon::BlockRow& row : qrcommon::kBlockTable[version]) {
            shapes.insert({row.n1, row.k1, row.t});
            if (row.blocks2 > 0) shapes.insert({row.n1 + 1, row.k1 + 1, row.t});
        }
    int corrected = 0;
    for (const auto& [n, k, t] : shapes)
        for (int trial = 0; trial < 12; ++trial) {
            const auto original = RandomBlock(rng, n, k);
            auto block = original;
            AddErrors(rng, block, t);
            ASSERT_TRUE(CorrectBlock(n, k, block.data(), t)) << "n=" << n << " k=" << k << " t=" << t;
            EXPECT_EQ(block, original);
            ++corrected;
        }
    EXPECT_GT(corrected, 12 * 50);
}

TEST_F(ReedSolomon, MoreThanTErrorsFailOrLandOnANearbyCodeword) {
    for (const Shape& s : kShapes)
        for (int trial = 0; trial < 5; ++trial) {
            const auto original = RandomBlock(rng, s.n, s.k);
            auto block = original;
            AddErrors(rng, block, s.t + 1);
            const auto received = block;
            if (CorrectBlock(s.n, s.k, block.data(), s.t)) {
                EXPECT_TRUE(CheckBlock(s.n, s.k, block.data()));
                EXPECT_LE(Distance(block, received), s.t);
            } else {
                EXPECT_EQ(block, received) << "a failed correction must restore the block";
            }
        }
}

TEST_F(ReedSolomon, Version1LowBlockWithThreeErrorsIsNotCorrected) {
    // Seven check words could correct three errors, but the table allows two.
    for (int trial = 0; trial < 20; ++trial) {
        auto block = RandomBlock(rng, 26, 19);
        AddErrors(rng, block, 3);
        const auto received = block;
        EXPECT_FALSE(CorrectBlock(26, 19, block.data(), 2));
        EXPECT_EQ(block, received);
    }
}

TEST_F(ReedSolomon, SingleErrorSyndromesGiveItsPositionAndValue) {
    const auto original = RandomBlock(rng, 26, 16);
    auto block = original;
    const int index = 20;  // byte index; its power is p = n - 1 - index
    const uint8_t value = 0x5A;
    block[index] ^= value;
    uint8_t s[2];
    lectavo::ComputeSyndromes(26, block.data(), 2, s);
    EXPECT_EQ(s[0], value);
    EXPECT_EQ(s[1], GfMul(value, qrcommon::kGf.exp[26 - 1 - index]));  // sigma_0 = S1 / S0 = alpha^p
    ASSERT_TRUE(CorrectBlock(26, 16, block.data(), 1));                // t = 1 allows only v = 1
    EXPECT_EQ(block, original);
}

// Counts on either side of the sixteen and thirty-two syndromes computed
// side by side, against the block evaluated at alpha^j term by term; the
// bytes past `count` stay as they were.
TEST_F(ReedSolomon, SyndromesAreTheBlockAtEachPowerOfAlpha) {
    for (const int count : {1, 15, 16, 17, 31, 32, 33, 68})
        for (const int n : {1, 26, 160, 161, 255}) {  // tabled positions end at 160
            std::vector<uint8_t> block(n);
            for (auto& b : block) b = static_cast<uint8_t>(rng());
            std::vector<uint8_t> s(70, 0xA5);
            lectavo::ComputeSyndromes(n, block.data(), count, s.data());
            int differing = 0;
            for (int j = 0; j < count; ++j) {
                uint8_t expected = 0;
                for (int i = 0; i < n; ++i)
                    expected ^= GfMul(block[i], qrcommon::kGf.exp[static_cast<size_t>(j * (n - 1 - i) % 255)]);
                differing += s[j] != expected;
            }
            EXPECT_EQ(differing, 0) << "count " << count << ", n " << n;
            EXPECT_EQ(s[count], 0xA5) << "count " << count << ", n " << n;
        }
}

TEST_F(ReedSolomon, HostileBlockShapesAreRejected) {
    std::vector<uint8_t> block(300, 1);
    EXPECT_FALSE(CheckBlock(26, 26, block.data()));
    EXPECT_FALSE(CheckBlock(256, 200, block.data()));
    EXPECT_FALSE(CheckBlock(26, -1, block.data()));
    EXPECT_FALSE(CheckBlock(26, 19, nullptr));
    EXPECT_FALSE(CorrectBlock(26, 19, nullptr, 2));
    // An oversized t is limited to what the seven check words can locate (3).
    const auto original = RandomBlock(rng, 26, 19);
    auto three = original, four = original;
    AddErrors(rng, three, 3);
    AddErrors(rng, four, 4);
    EXPECT_TRUE(CorrectBlock(26, 19, three.data(), 40));
    EXPECT_EQ(three, original);
    EXPECT_FALSE(CorrectBlock(26, 19, four.data(), 40));
}

}  // namespace
