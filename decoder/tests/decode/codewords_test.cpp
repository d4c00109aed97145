// Unmasking and codeword extraction on module grids of symbols made by an
// independent encoder (libqrencode), checked against the byte-mode data
// codewords the standard prescribes for their messages; and whole grid
// decoding of its ECI and FNC1 symbols.
#include <gtest/gtest.h>

#include <qrencode.h>

#include <memory>
#include <random>
#include <string>
#include <vector>

#include "common/qr_tables.h"
#include "decode/codewords.h"
#include "decode/grid_decoding.h"
#include "test_pictures.h"

namespace {

// Loads a libqrencode symbol into the grid (modules still masked) and returns
// its mask number.
int LoadSymbol(const QRcode& code, lectavo::SampledGrid& grid) {
    const int side = code.width;
    auto cell = [&](int x, int y) { return code.data[y * side + x]; };
    grid.side = side;
    for (int x = 0; x < side; ++x)
        for (int y = 0; y < side; ++y) grid.At(y, x) = cell(x, y) & 1;
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
    std::unique_ptr<lectavo::SampledGrid> grid = std::make_unique<lectavo::SampledGrid>();
    std::unique_ptr<lectavo::DataStream> stream = std::make_unique<lectavo::DataStream>();
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
        s.mask = LoadSymbol(*code, *grid);
        grid->version = version;
        grid->level = level;
        grid->mask = s.mask;
        QRcode_free(code);
        s.dataCodewords = ByteModeCodewords(s.message, version, data);
        return s;
    }

    bool Extract() { return lectavo::ExtractCodewords(*grid, *stream); }
    std::vector<uint8_t> Extracted() const { return {stream->bytes, stream->bytes + stream->count}; }

    // The first four raw codewords of an all-light version 1 grid under `mask`.
    std::vector<uint8_t> LightGridCodewords(int mask, uint8_t functionValue) {
        qrcommon::FunctionMap map;
        qrcommon::BuildFunctionMap(1, map);
        grid->side = 21;
        grid->mask = mask;
        for (int r = 0; r < 21; ++r)
            for (int c = 0; c < 21; ++c) grid->At(r, c) = map.IsFunction(r, c) ? functionValue : 0;
        uint8_t raw[26] = {};
        lectavo::ReadPlacementOrder(*grid, 26, raw);
        return {raw, raw + 4};
    }
};

TEST_F(Codewords, Mask1InvertsEvenRowsAndMask2EveryThirdColumn) {
    // The first strip (columns 20 and 19) runs up from row 20, two modules a
    // row; the second (columns 18 and 17) runs down from row 9.
    EXPECT_EQ(LightGridCodewords(1, 0), (std::vector<uint8_t>{0xCC, 0xCC, 0xCC, 0x33}));
    EXPECT_EQ(LightGridCodewords(2, 0), (std::vector<uint8_t>{0x00, 0x00, 0x00, 0xAA}));
}

TEST_F(Codewords, FunctionModulesNeverEnterTheStream) {
    for (int mask = 0; mask < 8; ++mask) EXPECT_EQ(LightGridCodewords(mask, 1), LightGridCodewords(mask, 0)) << mask;
    Load(1, 0);
    grid->mask = 8;  // hostile fields are refused
    EXPECT_FALSE(Extract());
    grid->mask = -1;
    EXPECT_FALSE(Extract());
}

TEST_F(Codewords, Version5QTakesTheLongerBlocksExtraCodewordFromTheTail) {
    // 5-Q: two blocks of (33, 15) and two of (34, 16).
    const Symbol s = Load(5, 2);
    ASSERT_TRUE(Extract());
    EXPECT_EQ(stream->count, 62);
    EXPECT_EQ(Extracted(), s.dataCodewords);
}

TEST_F(Codewords, EveryVersionAndLevelOfAnIndependentEncoder) {
    for (int version = 1; version <= 40; ++version)
        for (int level = 0; level < 4; ++level) {
            const Symbol s = Load(version, level);
            ASSERT_TRUE(Extract()) << version << "-" << level;
            ASSERT_EQ(Extracted(), s.dataCodewords) << version << "-" << level;
        }
}

TEST_F(Codewords, DamagedModulesAreCorrectedUntilTooManyBlocksBreak) {
    const Symbol s = Load(5, 2);
    qrcommon::FunctionMap map;
    qrcommon::BuildFunctionMap(5, map);
    std::vector<int> dataCells;
    for (int r = 0; r < 37; ++r)
        for (int c = 0; c < 37; ++c)
            if (!map.IsFunction(r, c)) dataCells.push_back(r * 37 + c);
    const lectavo::SampledGrid clean = *grid;

    // Six wrong modules hit at most six codewords, far below 4 x 9.
    for (int i = 0; i < 6; ++i) grid->modules[dataCells[rng() % dataCells.size()]] ^= 1;
    ASSERT_TRUE(Extract());
    EXPECT_EQ(Extracted(), s.dataCodewords);

    *grid = clean;
    for (int i = 0; i < 300; ++i) grid->modules[dataCells[rng() % dataCells.size()]] ^= 1;
    EXPECT_FALSE(Extract());
    EXPECT_EQ(stream->count, 0);
}

TEST_F(Codewords, InconsistentArgumentsFail) {
    Load(1, 0);
    const auto extractWith = [&](int version, int side, int level) {
        grid->version = version;
        grid->side = side;
        grid->level = level;
        return Extract();
    };
    EXPECT_FALSE(extractWith(1, 25, 0));  // side of version 2
    EXPECT_FALSE(extractWith(0, 17, 0));
    EXPECT_FALSE(extractWith(41, 181, 0));
    EXPECT_FALSE(extractWith(1, 21, 4));
    EXPECT_EQ(stream->count, 0);
}

// ECI and FNC1 symbols made by libqrencode, through the whole grid decoding:
// refused as the first passes ask, read (designator dropped, "%" as GS, the
// application indicator in front) when the options ask for it.
TEST_F(Codewords, EciAndFnc1SymbolsDecodeOnlyWhenAsked) {
    struct Case {
        int eci;          // 0: none
        bool fnc1Second;  // with application indicator 37 (libqrencode makes no FNC1 first-position symbol)
        QRencodeMode mode;
        std::string data, expected;
    };
    const Case cases[] = {
        {26, false, QR_MODE_8, "\xC3\xA9t\xC3\xA9", "\xC3\xA9t\xC3\xA9"},
        {0, true, QR_MODE_AN, "AB%%C", "37AB%C"},
    };
    for (const Case& c : cases) {
        QRinput* input = QRinput_new2(0, QR_ECLEVEL_M);
        ASSERT_NE(input, nullptr);
        int status = 0;
        if (c.eci) status |= QRinput_appendECIheader(input, static_cast<unsigned>(c.eci));
        if (c.fnc1Second) status |= QRinput_setFNC1Second(input, 37);
        ASSERT_EQ(status, 0);
        ASSERT_EQ(QRinput_append(input, c.mode, static_cast<int>(c.data.size()),
                                 reinterpret_cast<const unsigned char*>(c.data.data())),
                  0);
        QRcode* code = QRcode_encodeInput(input);
        QRinput_free(input);
        ASSERT_NE(code, nullptr) << c.data;
        grid->mask = LoadSymbol(*code, *grid);
        grid->version = code->version;
        grid->level = 1;
        QRcode_free(code);

        auto out = std::make_unique<lectavo::DecodedData>();
        EXPECT_EQ(lectavo::DecodeSampledGrid(*grid, {}, *out), lectavo::DecodeStatus::kSegmentsInvalid) << c.data;
        lectavo::GridDecodeOptions read;
        read.readEciAndFnc1 = true;
        ASSERT_EQ(lectavo::DecodeSampledGrid(*grid, read, *out), lectavo::DecodeStatus::kOk) << c.data;
        EXPECT_EQ(std::string(reinterpret_cast<const char*>(out->bytes), static_cast<size_t>(out->length)), c.expected);
    }
}

}  // namespace
