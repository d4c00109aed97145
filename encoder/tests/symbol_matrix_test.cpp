// Layout of the module matrix: function patterns, format and version
// information, the size of the encoding region, codeword placement and masks.
#include <gtest/gtest.h>

#include <memory>
#include <vector>

#include "common/qr_tables.h"
#include "encode_symbol.h"
#include "settings.h"
#include "symbol_matrix.h"

namespace {

using namespace mosaire;

std::unique_ptr<ModuleMatrix> Build(int version) {
    auto m = std::make_unique<ModuleMatrix>();
    BuildFunctionPatterns(*m, version);
    return m;
}

int DataModules(const ModuleMatrix& m) {
    int n = 0;
    for (int r = 0; r < m.side; ++r)
        for (int c = 0; c < m.side; ++c) n += m.isData[r][c];
    return n;
}

// Checks a 5 x 5 alignment pattern centred at (row, col).
void ExpectAlignment(const ModuleMatrix& m, int row, int col) {
    for (int dr = -2; dr <= 2; ++dr)
        for (int dc = -2; dc <= 2; ++dc) {
            const int ring = std::max(std::abs(dr), std::abs(dc));
            EXPECT_EQ(m.value[row + dr][col + dc], ring == 1 ? 0 : 1) << row + dr << "," << col + dc;
            EXPECT_EQ(m.isData[row + dr][col + dc], 0);
        }
}

TEST(SymbolMatrix, EncodingRegionHoldsCodewordsAndRemainderBits) {
    // Remainder bits per version from the standard's table of codeword counts.
    const int remainder[41] = {0, 0, 7, 7, 7, 7, 7, 0, 0, 0, 0, 0, 0, 0, 3, 3, 3, 3, 3, 3, 3,
                               4, 4, 4, 4, 4, 4, 4, 3, 3, 3, 3, 3, 3, 3, 0, 0, 0, 0, 0, 0};
    for (int v = 1; v <= 40; ++v)
        EXPECT_EQ(DataModules(*Build(v)), 8 * qrcommon::kTotalCodewords[v] + remainder[v]) << "version " << v;
}

TEST(SymbolMatrix, Version1Layout) {
    const auto m = Build(1);
    EXPECT_EQ(m->side, 21);
    EXPECT_EQ(m->value[13][8], 1);  // dark module
    EXPECT_EQ(m->isData[13][8], 0);
    // Finder: dark ring, light ring, dark centre; separator light.
    EXPECT_EQ(m->value[0][0], 1);
    EXPECT_EQ(m->value[1][1], 0);
    EXPECT_EQ(m->value[3][3], 1);
    EXPECT_EQ(m->value[7][7], 0);
    EXPECT_EQ(m->value[13][0], 0);
    EXPECT_EQ(m->value[14][0], 1);
    EXPECT_EQ(m->value[20][6], 1);
    EXPECT_EQ(m->value[0][20], 1);
    // Timing patterns between the finders.
    for (int u = 8; u <= 12; ++u) {
        EXPECT_EQ(m->value[6][u], u % 2 == 0 ? 1 : 0);
        EXPECT_EQ(m->value[u][6], u % 2 == 0 ? 1 : 0);
    }
}

TEST(SymbolMatrix, AlignmentPatterns) {
    ExpectAlignment(*Build(2), 18, 18);
    const auto m = Build(7);
    for (int a : {6, 22, 38})
        for (int b : {6, 22, 38}) {
            if ((a == 6 && b == 6) || (a == 6 && b == 38) || (a == 38 && b == 6)) continue;
            ExpectAlignment(*m, a, b);
        }
    EXPECT_EQ(m->isData[10][10], 1);  // no pattern beside the top-left finder
}

TEST(SymbolMatrix, VersionInformationInBothBlocks) {
    const auto m = Build(7);
    const uint32_t code = 0x07C94;
    for (int k = 0; k < 18; ++k) {
        const int bit = (code >> k) & 1;
        EXPECT_EQ(m->value[k / 3][45 - 11 + k % 3], bit) << k;
        EXPECT_EQ(m->value[45 - 11 + k % 3][k / 3], bit) << k;
        EXPECT_EQ(m->isData[k / 3][45 - 11 + k % 3], 0);
    }
}

TEST(SymbolMatrix, FormatWordAndItsTwoCopies) {
    EXPECT_EQ(FormatWord(1, 5), 0x40CE);
    auto m = Build(1);
    WriteFormatInfo(*m, 1, 5);
    // Copy beside the top-left finder: bits 14..9 along row 8, then (8,7),
    // (8,8), (7,8), then column 8 from row 5 up to row 0.
    const int copy0[15][2] = {{8, 0}, {8, 1}, {8, 2}, {8, 3}, {8, 4}, {8, 5}, {8, 7}, {8, 8},
                              {7, 8}, {5, 8}, {4, 8}, {3, 8}, {2, 8}, {1, 8}, {0, 8}};
    // Second copy: column 8 from the bottom up, then row 8 of the right edge.
    const int copy1[15][2] = {{20, 8}, {19, 8}, {18, 8}, {17, 8}, {16, 8}, {15, 8}, {14, 8}, {8, 13},
                              {8, 14}, {8, 15}, {8, 16}, {8, 17}, {8, 18}, {8, 19}, {8, 20}};
    for (int i = 0; i < 15; ++i) {
        const int bit = (0x40CE >> (14 - i)) & 1;
        EXPECT_EQ(m->value[copy0[i][0]][copy0[i][1]], bit) << "bit " << 14 - i;
        EXPECT_EQ(m->value[copy1[i][0]][copy1[i][1]], bit) << "bit " << 14 - i;
    }
    EXPECT_EQ(m->value[13][8], 1);
}

TEST(SymbolMatrix, PlacementRunsUpFromTheBottomRightAndLeavesRemainderLight) {
    auto m = Build(1);
    const uint8_t first[1] = {0xA0};  // 1010 0000
    PlaceCodewords(*m, first, 1);
    EXPECT_EQ(m->value[20][20], 1);
    EXPECT_EQ(m->value[20][19], 0);
    EXPECT_EQ(m->value[19][20], 1);
    EXPECT_EQ(m->value[19][19], 0);

    auto v2 = Build(2);
    std::vector<uint8_t> ones(44, 0xFF);
    PlaceCodewords(*v2, ones.data(), 44);
    int light = 0;
    for (int r = 0; r < v2->side; ++r)
        for (int c = 0; c < v2->side; ++c) light += v2->isData[r][c] && !v2->value[r][c];
    EXPECT_EQ(light, 7);
    // The last strip of version 2 runs down columns 1 and 0 of the bottom-left
    // area above the finder: the remainder modules sit at its end.
    EXPECT_EQ(v2->value[15][0], 0);
}

TEST(SymbolMatrix, MasksInvertOnlyTheEncodingRegion) {
    for (int mask = 0; mask < 8; ++mask) {
        auto m = Build(2);
        const auto before = std::make_unique<ModuleMatrix>(*m);
        ApplyMask(*m, mask);
        for (int i = 0; i < m->side; ++i)
            for (int j = 0; j < m->side; ++j) {
                const bool flipped = m->value[i][j] != before->value[i][j];
                EXPECT_EQ(flipped, m->isData[i][j] && MaskCondition(mask, i, j)) << mask << " " << i << "," << j;
            }
    }
    EXPECT_TRUE(MaskCondition(5, 0, 7));  // i*j = 0
    EXPECT_FALSE(MaskCondition(5, 1, 1));
    EXPECT_TRUE(MaskCondition(4, 1, 2));  // floor(1/2) + floor(2/3) = 0
    EXPECT_FALSE(MaskCondition(4, 2, 0));
}

TEST(SymbolMatrix, FixedMaskSettingsSkipTheChoice) {
    auto settings = std::make_unique<EncoderSettings>();
    SetMessage(*settings, "HELLO WORLD");
    for (int setting = 1; setting <= 8; ++setting) {
        Configure(*settings, 0, 1, setting);
        const EncodedSymbol symbol = EncodeSymbol(*settings);
        ASSERT_FALSE(symbol.DoesNotFit());
        EXPECT_EQ(symbol.mask, setting - 1);
    }
}

}  // namespace
