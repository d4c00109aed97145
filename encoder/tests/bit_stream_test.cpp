// Mode analysis, version choice and data codewords against the standard's
// worked examples and capacity limits.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "bit_stream.h"
#include "encode_symbol.h"
#include "settings.h"

namespace {

using namespace mosaire;

const uint8_t* Bytes(const std::string& s) { return reinterpret_cast<const uint8_t*>(s.data()); }

DataMode Mode(const std::string& s) { return AnalyseMode(Bytes(s), s.size()); }

std::vector<uint8_t> Codewords(const std::string& s, int version, int level, int* streamBits = nullptr) {
    std::vector<uint8_t> out(kMaxDataCodewords);
    const DataCodewords d = BuildDataCodewords(Bytes(s), s.size(), Mode(s), version, level, out.data());
    out.resize(static_cast<size_t>(d.count));
    if (streamBits != nullptr) *streamBits = d.streamBits;
    return out;
}

// Pads 0xEC, 0x11, ... from index `from` to the end.
void ExpectPads(const std::vector<uint8_t>& cw, size_t from) {
    for (size_t i = from; i < cw.size(); ++i) EXPECT_EQ(cw[i], (i - from) % 2 == 0 ? 0xEC : 0x11) << "codeword " << i;
}

TEST(BitStream, WholeMessageGetsOneMode) {
    EXPECT_EQ(Mode(""), kModeNumeric);
    EXPECT_EQ(Mode("0123456789"), kModeNumeric);
    EXPECT_EQ(Mode("123ABC"), kModeAlphanumeric);
    EXPECT_EQ(Mode("ABC123"), kModeAlphanumeric);
    EXPECT_EQ(Mode("12 34"), kModeAlphanumeric);
    EXPECT_EQ(Mode(" $%*+-./:"), kModeAlphanumeric);
    EXPECT_EQ(Mode("abc"), kModeByte);
    EXPECT_EQ(Mode("AB\xD6\xD0"), kModeByte);  // one code-page-936 character
    EXPECT_EQ(Mode("12#"), kModeByte);
}

TEST(BitStream, TwelveAtLevelL) {
    int bits = 0;
    const auto cw = Codewords("12", 1, 0, &bits);
    EXPECT_EQ(bits, 4 + 10 + 7);  // 0001 0000000010 0001100
    ASSERT_EQ(cw.size(), 19u);
    EXPECT_EQ(cw[0], 0x10);
    EXPECT_EQ(cw[1], 0x08);
    EXPECT_EQ(cw[2], 0x60);
    EXPECT_EQ(cw[3], 0x00);
    ExpectPads(cw, 4);
    EXPECT_EQ(cw[18], 0xEC);
}

TEST(BitStream, EmptyMessageIsNumericWithZeroCount) {
    const auto cw = Codewords("", 1, 0);
    EXPECT_EQ(cw[0], 0x10);
    EXPECT_EQ(cw[1], 0x00);
    EXPECT_EQ(cw[2], 0x00);
    ExpectPads(cw, 3);
}

TEST(BitStream, DigitsAtLevelM) {
    const auto cw = Codewords("01234567", 1, 1);
    const std::vector<uint8_t> head = {0x10, 0x20, 0x0C, 0x56, 0x61, 0x80};
    ASSERT_EQ(cw.size(), 16u);
    EXPECT_EQ(std::vector<uint8_t>(cw.begin(), cw.begin() + 6), head);
    ExpectPads(cw, 6);
}

TEST(BitStream, AlphanumericAndBytePacking) {
    // "AC-42": 0010, count 5 in 9 bits, (10*45+12)=462, (41*45+4)=1849 in 11 bits, 2 in 6 bits.
    EXPECT_EQ(Codewords("AC-42", 1, 0)[0], 0x20);
    EXPECT_EQ(Codewords("AC-42", 1, 0)[1], 0x29);
    EXPECT_EQ(Codewords("AC-42", 1, 0)[2], 0xCE);
    // Two bytes of one double-byte character: mode 0100, count 2, the raw bytes.
    const auto cw = Codewords("\xD6\xD0", 1, 0);
    EXPECT_EQ(cw[0], 0x40);
    EXPECT_EQ(cw[1], 0x2D);
    EXPECT_EQ(cw[2], 0x6D);
    EXPECT_EQ(cw[3], 0x00);
    ExpectPads(cw, 4);
}

TEST(BitStream, ExactFitGetsNoTerminatorOrPads) {
    // 17 bytes at 1-L: 4 + 8 + 136 = 148 of 152 bits; terminator 0000 ends the last codeword.
    const std::string bytes17(17, 'a');
    const auto cw = Codewords(bytes17, 1, 0);
    EXPECT_EQ(cw[18], 0x10);  // low nibble of the last 'a' then the terminator
    // 41 digits at 1-L: 151 bits, one terminator bit, no pads.
    int bits = 0;
    const auto digits = Codewords(std::string(41, '9'), 1, 0, &bits);
    EXPECT_EQ(bits, 151);
    EXPECT_EQ(digits.back() & 1, 0);
    EXPECT_NE(digits.back(), 0xEC);
}

TEST(BitStream, VersionChoice) {
    EXPECT_EQ(ChooseVersion(kModeByte, 17, 0, 0), 1);
    EXPECT_EQ(ChooseVersion(kModeByte, 18, 0, 0), 2);
    EXPECT_EQ(ChooseVersion(kModeNumeric, 41, 0, 0), 1);
    EXPECT_EQ(ChooseVersion(kModeNumeric, 42, 0, 0), 2);
    EXPECT_EQ(ChooseVersion(kModeNumeric, 0, 0, 0), 1);
    EXPECT_EQ(ChooseVersion(kModeByte, 2, 5, 0), 5);     // a larger request is kept
    EXPECT_EQ(ChooseVersion(kModeByte, 100, 1, 3), 10);  // a request is a minimum
    EXPECT_EQ(ChooseVersion(kModeByte, 100, 40, 3), 40);
}

TEST(BitStream, LargestMessagesPerLevel) {
    struct Limit {
        DataMode mode;
        size_t chars[4];
    };
    const Limit limits[] = {{kModeByte, {2953, 2331, 1663, 1273}},
                            {kModeNumeric, {7089, 5596, 3993, 3057}},
                            {kModeAlphanumeric, {4296, 3391, 2420, 1852}}};
    for (const Limit& limit : limits) {
        for (int level = 0; level < 4; ++level) {
            EXPECT_EQ(ChooseVersion(limit.mode, limit.chars[level], 0, level), 40) << limit.mode << " " << level;
            EXPECT_EQ(ChooseVersion(limit.mode, limit.chars[level] + 1, 0, level), kNoVersion)
                << limit.mode << " " << level;
        }
    }
}

TEST(BitStream, EncodeReportsVersionModeAndFailure) {
    auto settings = std::make_unique<EncoderSettings>();
    SetMessage(*settings, std::string(100, 'x').c_str());
    Configure(*settings, 1, 3, 0);
    EncodedSymbol symbol = EncodeSymbol(*settings);
    ASSERT_FALSE(symbol.DoesNotFit());
    EXPECT_EQ(symbol.version, 10);
    EXPECT_EQ(symbol.mode, kModeByte);
    EXPECT_EQ(symbol.matrix->side, 57);

    SetMessage(*settings, std::string(1853, 'A').c_str());
    symbol = EncodeSymbol(*settings);
    EXPECT_TRUE(symbol.DoesNotFit());
    EXPECT_EQ(symbol.matrix, nullptr);
    EXPECT_EQ(symbol.version, kNoVersion);
    EXPECT_EQ(symbol.mode, kModeAlphanumeric);
    EXPECT_EQ(symbol.mask, -1);

    // A record written directly with out-of-range fields is read as automatic / L.
    SetMessage(*settings, "12");
    settings->version = 99;
    settings->ecLevel = -4;
    settings->maskSetting = 12;
    symbol = EncodeSymbol(*settings);
    ASSERT_FALSE(symbol.DoesNotFit());
    EXPECT_EQ(symbol.version, 1);
}

}  // namespace
