// Unmasking and codeword extraction on module grids of symbols made by an
// independent encoder (libqrencode), checked against the byte-mode data
// codewords the standard prescribes for their messages.
#include <gtest/gtest.h>

#include <qrencode.h>

#include <memory>
#include <random>
#include <vector>

#include "common/qr_tables.h"
#include "symbol_search.h"
#include "test_pictures.h"

namespace {

using lectavo::kMaxSide;

constexpr uint8_t kFunction = 0x10;

// Loads a libqrencode symbol into the sampled grid (function cells flagged,
// data cells still masked) and returns its mask number.
int LoadSymbol(const QRcode& code, lectavo::SymbolSearch& search) {
    const int side = code.width;
    auto cell = [&](int x, int y) { return code.data[y * side + x]; };
    for (int x = 0; x < side; ++x)
        for (int y = 0; y < side; ++y) {
            const uint8_t m = cell(x, y);
            search.reading.grid[x * kMaxSide + y] = (m & 0x80) ? kFunction : (m & 1);  // bit 7: non-data
        }
    return testpics::FormatMask([&](int x, int y) { return (cell(x, y) & 1) != 0; });
}

// Byte-mode data codewords: mode, count, bytes, terminator, pad codewords.
std::vector<uint8_t> ByteModeCodewords(const std::vector<uint8_t>& message, int version, int dataCodewords) {
    std::vector<uint8_t> out;
    int bits = 0;
    auto put = [&](uint32_t value, int width) {
        for (int i = width - 1; i >= 0; --i, ++bits) {
            if (bits % 8 == 0) out.push_back(0);
            if ((value >> i) & 1) out.back() |= static_cast<uint8_t>(0x80 >> (bits % 8));
        }
    };
    put(4, 4);
    put(static_cast<uint32_t>(message.size()), version <= 9 ? 8 : 16);
    for (uint8_t b : message) put(b, 8);
    const int room = dataCodewords * 8 - bits;
    put(0, room < 4 ? room : 4);
    for (bool ec = true; static_cast<int>(out.size()) < dataCodewords; ec = !ec) out.push_back(ec ? 0xEC : 0x11);
    return out;
}

struct Symbol {
    std::vector<uint8_t> message;
    std::vector<uint8_t> dataCodewords;
    int mask = 0;
};

class Codewords : public ::testing::Test {
protected:
    std::unique_ptr<lectavo::SymbolSearch> search = std::make_unique<lectavo::SymbolSearch>();
    std::mt19937 rng{99};

    // The fullest byte-mode symbol of `version` and `level`, loaded into the grid.
    Symbol Load(int version, int level, int length = -1) {
        static const QRecLevel kLevels[4] = {QR_ECLEVEL_L, QR_ECLEVEL_M, QR_ECLEVEL_Q, QR_ECLEVEL_H};
        const int data = qrcommon::DataCodewords(version, level);
        if (length < 0) length = (data * 8 - 4 - (version <= 9 ? 8 : 16)) / 8;
        Symbol s;
        s.message.resize(length);
        for (auto& b : s.message) b = static_cast<uint8_t>(rng());
        QRcode* code = QRcode_encodeData(length, s.message.data(), version, kLevels[level]);
        EXPECT_NE(code, nullptr);
        if (!code) return s;
        EXPECT_EQ(code->version, version);
        s.mask = LoadSymbol(*code, *search);
        QRcode_free(code);
        s.dataCodewords = ByteModeCodewords(s.message, version, data);
        return s;
    }

    std::vector<uint8_t> Extracted() const {
        return {search->codewords.bytes, search->codewords.bytes + search->codewords.count};
    }
};

TEST_F(Codewords, Mask1InvertsEvenRowsAndMask2EveryThirdColumn) {
    const int side = 21;
    auto& grid = search->reading.grid;
    for (int x = 0; x < side; ++x)
        for (int y = 0; y < side; ++y) grid[x * kMaxSide + y] = (x == 4 || y == 9) ? kFunction : 0;
    lectavo::UnmaskGrid(*search, side, 1);
    for (int x = 0; x < side; ++x)
        for (int y = 0; y < side; ++y) {
            const uint8_t expected = (x == 4 || y == 9) ? kFunction : (y % 2 == 0 ? 1 : 0);
            ASSERT_EQ(grid[x * kMaxSide + y], expected) << x << "," << y;
        }
    lectavo::UnmaskGrid(*search, side, 1);  // masking is its own inverse
    lectavo::UnmaskGrid(*search, side, 2);
    for (int x = 0; x < side; ++x)
        for (int y = 0; y < side; ++y) {
            const uint8_t expected = (x == 4 || y == 9) ? kFunction : (x % 3 == 0 ? 1 : 0);
            ASSERT_EQ(grid[x * kMaxSide + y], expected) << x << "," << y;
        }
    // Cells outside the symbol's side are left alone.
    EXPECT_EQ(grid[side * kMaxSide], 0);
}

TEST_F(Codewords, FunctionCellsKeepTheirFlagUnderEveryMask) {
    auto& grid = search->reading.grid;
    for (int mask = 0; mask < 8; ++mask) {
        std::fill(std::begin(grid), std::end(grid), kFunction);
        lectavo::UnmaskGrid(*search, kMaxSide, mask);
        for (uint8_t cell : grid) ASSERT_EQ(cell, kFunction);
    }
    lectavo::UnmaskGrid(*search, kMaxSide + 1, 0);  // hostile arguments are ignored
    lectavo::UnmaskGrid(*search, -5, 0);
    lectavo::UnmaskGrid(*search, 21, 8);
}

TEST_F(Codewords, Version5QTakesTheLongerBlocksExtraCodewordFromTheTail) {
    // 5-Q: two blocks of (33, 15) and two of (34, 16).
    const Symbol s = Load(5, 2);
    lectavo::UnmaskGrid(*search, 37, s.mask);
    ASSERT_TRUE(lectavo::ExtractCodewords(*search, 5, 37, 2));
    EXPECT_EQ(search->codewords.count, 62);
    EXPECT_EQ(Extracted(), s.dataCodewords);
}

TEST_F(Codewords, EveryVersionAndLevelOfAnIndependentEncoder) {
    for (int version = 1; version <= 40; ++version)
        for (int level = 0; level < 4; ++level) {
            const Symbol s = Load(version, level);
            const int side = qrcommon::SymbolSide(version);
            lectavo::UnmaskGrid(*search, side, s.mask);
            ASSERT_TRUE(lectavo::ExtractCodewords(*search, version, side, level)) << version << "-" << level;
            ASSERT_EQ(Extracted(), s.dataCodewords) << version << "-" << level;
        }
}

TEST_F(Codewords, DamagedModulesAreCorrectedUntilTooManyBlocksBreak) {
    const Symbol s = Load(5, 2);
    auto& grid = search->reading.grid;
    std::vector<int> dataCells;
    for (int x = 0; x < 37; ++x)
        for (int y = 0; y < 37; ++y)
            if (!(grid[x * kMaxSide + y] & kFunction)) dataCells.push_back(x * kMaxSide + y);
    lectavo::UnmaskGrid(*search, 37, s.mask);
    uint8_t clean[kMaxSide * kMaxSide];
    std::copy(std::begin(grid), std::end(grid), clean);

    // Six wrong modules hit at most six codewords, far below 4 x 9.
    for (int i = 0; i < 6; ++i) grid[dataCells[rng() % dataCells.size()]] ^= 1;
    ASSERT_TRUE(lectavo::ExtractCodewords(*search, 5, 37, 2));
    EXPECT_EQ(Extracted(), s.dataCodewords);

    std::copy(std::begin(clean), std::end(clean), grid);
    for (int i = 0; i < 300; ++i) grid[dataCells[rng() % dataCells.size()]] ^= 1;
    EXPECT_FALSE(lectavo::ExtractCodewords(*search, 5, 37, 2));
    EXPECT_EQ(search->codewords.count, 0);
    EXPECT_FALSE(search->outOfMemory);
}

TEST_F(Codewords, InconsistentArgumentsFail) {
    Load(1, 0);
    EXPECT_FALSE(lectavo::ExtractCodewords(*search, 1, 25, 0));  // side of version 2
    EXPECT_FALSE(lectavo::ExtractCodewords(*search, 0, 17, 0));
    EXPECT_FALSE(lectavo::ExtractCodewords(*search, 41, 181, 0));
    EXPECT_FALSE(lectavo::ExtractCodewords(*search, 1, 21, 4));
    EXPECT_EQ(search->codewords.count, 0);
}

}  // namespace
