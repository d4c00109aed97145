// Error-correction codewords and interleaving against the standard's examples.
#include <gtest/gtest.h>

#include <vector>

#include "common/gf256.h"
#include "common/qr_tables.h"
#include "reed_solomon.h"

namespace {

using namespace mosaire;

std::vector<uint8_t> Ec(const std::vector<uint8_t>& data, int e) {
    std::vector<uint8_t> ec(static_cast<size_t>(e));
    BlockErrorCorrection(data.data(), static_cast<int>(data.size()), e, ec.data());
    return ec;
}

TEST(ReedSolomon, DigitsAtLevelM) {
    const std::vector<uint8_t> data = {0x10, 0x20, 0x0C, 0x56, 0x61, 0x80, 0xEC, 0x11,
                                       0xEC, 0x11, 0xEC, 0x11, 0xEC, 0x11, 0xEC, 0x11};
    const std::vector<uint8_t> expected = {0xA5, 0x24, 0xD4, 0xC1, 0xED, 0x36, 0xC7, 0x87, 0x2C, 0x55};
    EXPECT_EQ(Ec(data, 10), expected);
}

TEST(ReedSolomon, TwelveAtLevelL) {
    std::vector<uint8_t> data = {0x10, 0x08, 0x60, 0x00};
    while (data.size() < 19) data.push_back(data.size() % 2 == 0 ? 0xEC : 0x11);
    const std::vector<uint8_t> expected = {0x7A, 0x03, 0x54, 0x2F, 0x17, 0x5B, 0x27};
    EXPECT_EQ(Ec(data, 7), expected);

    // One block: the final sequence is the data followed by the EC codewords.
    std::vector<uint8_t> out(kMaxTotalCodewords);
    ASSERT_EQ(InterleaveCodewords(data.data(), 1, 0, out.data()), 26);
    EXPECT_TRUE(std::equal(data.begin(), data.end(), out.begin()));
    EXPECT_TRUE(std::equal(expected.begin(), expected.end(), out.begin() + 19));
}

TEST(ReedSolomon, ErrorCorrectionMakesCodewordPolynomialVanishAtRoots) {
    // Data followed by EC is a multiple of g(x): it evaluates to zero at a^0..a^(e-1).
    std::vector<uint8_t> block(120);
    for (size_t i = 0; i < 120; ++i) block[i] = static_cast<uint8_t>(i * 37 + 5);
    const int e = 30;
    const auto ec = Ec(std::vector<uint8_t>(block.begin(), block.begin() + 90), e);
    std::copy(ec.begin(), ec.end(), block.begin() + 90);
    for (int root = 0; root < e; ++root) {
        uint8_t acc = 0;
        for (uint8_t c : block) acc = qrcommon::GfMul(acc, qrcommon::kGf.exp[root]) ^ c;
        EXPECT_EQ(acc, 0) << "root " << root;
    }
}

TEST(ReedSolomon, InterleavesVersion5Q) {
    // Two blocks of 15 data codewords and two of 16, 18 EC codewords each.
    std::vector<uint8_t> data(62);
    for (size_t i = 0; i < data.size(); ++i) data[i] = static_cast<uint8_t>(i);
    std::vector<uint8_t> out(kMaxTotalCodewords);
    ASSERT_EQ(InterleaveCodewords(data.data(), 5, 2, out.data()), 134);
    const int start[4] = {0, 15, 30, 46};
    for (int p = 0; p < 15; ++p)
        for (int b = 0; b < 4; ++b) EXPECT_EQ(out[4 * p + b], start[b] + p);
    EXPECT_EQ(out[60], 45);  // 16th data codeword of block 2
    EXPECT_EQ(out[61], 61);  // and of block 3
    for (int b = 0; b < 4; ++b) {
        const int size = b < 2 ? 15 : 16;
        const auto ec = Ec(std::vector<uint8_t>(data.begin() + start[b], data.begin() + start[b] + size), 18);
        for (int p = 0; p < 18; ++p) EXPECT_EQ(out[62 + 4 * p + b], ec[p]) << "block " << b << " ec " << p;
    }
}

TEST(ReedSolomon, EveryVersionAndLevelFillsItsTotal) {
    std::vector<uint8_t> data(kMaxTotalCodewords, 0x5A);
    std::vector<uint8_t> out(kMaxTotalCodewords);
    for (int v = 1; v <= 40; ++v)
        for (int level = 0; level < 4; ++level)
            EXPECT_EQ(InterleaveCodewords(data.data(), v, level, out.data()), qrcommon::kTotalCodewords[v]);
}

}  // namespace
