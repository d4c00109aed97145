// Segment decoding of hand-built bit streams.
#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <tuple>
#include <vector>

#include "decode/segments.h"

namespace {

using lectavo::DecodeSegments;
using lectavo::ReadBits;

// Most significant bit first, like the symbol's data codewords.
class BitWriter {
public:
    BitWriter& Put(uint32_t value, int bits) {
        for (int i = bits - 1; i >= 0; --i) {
            if (bitCount_ % 8 == 0) bytes_.push_back(0);
            if ((value >> i) & 1) bytes_.back() |= static_cast<uint8_t>(0x80 >> (bitCount_ % 8));
            ++bitCount_;
        }
        return *this;
    }
    // Terminator and pad codewords up to `length` bytes, as an encoder would.
    std::vector<uint8_t> Finish(size_t length) {
        if (bitCount_ + 4 <= static_cast<int>(length) * 8) Put(0, 4);
        std::vector<uint8_t> out = bytes_;
        for (bool ec = true; out.size() < length; ec = !ec) out.push_back(ec ? 0xEC : 0x11);
        return out;
    }
    int Bits() const { return bitCount_; }

private:
    std::vector<uint8_t> bytes_;
    int bitCount_ = 0;
};

class Segments : public ::testing::Test {
protected:
    std::unique_ptr<lectavo::DecodedData> result = std::make_unique<lectavo::DecodedData>();

    // Decodes `stream` for a symbol of `version`; returns the bytes, or
    // "<fail>" when no result is produced.
    std::string Decode(const std::vector<uint8_t>& stream, int version = 1, bool header = false,
                       bool readEciAndFnc1 = false) {
        *result = lectavo::DecodedData{};
        if (!DecodeSegments(stream.data(), static_cast<int>(stream.size()), version, header, readEciAndFnc1, *result))
            return "<fail>";
        EXPECT_EQ(result->bytes[result->length], 0);
        return std::string(reinterpret_cast<const char*>(result->bytes), result->length);
    }
};

TEST_F(Segments, ReadBitsTakesMostSignificantBitFirst) {
    const uint8_t data[] = {0xA5, 0x3C, 0xFF};
    EXPECT_EQ(ReadBits(0, 4, data), 0xAu);
    EXPECT_EQ(ReadBits(4, 8, data), 0x53u);  // straddles the first two bytes
    EXPECT_EQ(ReadBits(7, 3, data), 0x4u);
    EXPECT_EQ(ReadBits(8, 16, data), 0x3CFFu);
    EXPECT_EQ(ReadBits(3, 0, data), 0u);
    EXPECT_EQ(ReadBits(3, -2, data), 0u);
}

TEST_F(Segments, NumericGroupsOfThreeTwoAndOne) {
    // Count 8: two 10-bit groups and a final 7-bit group.
    BitWriter w;
    w.Put(1, 4).Put(8, 10).Put(12, 10).Put(345, 10).Put(67, 7);
    EXPECT_EQ(w.Bits(), 4 + 10 + 27);
    EXPECT_EQ(Decode(w.Finish(19)), "01234567");

    BitWriter one;
    one.Put(1, 4).Put(4, 10).Put(999, 10).Put(9, 4);
    EXPECT_EQ(Decode(one.Finish(19)), "9999");
}

TEST_F(Segments, NumericGroupAboveItsDigitsFails) {
    for (const auto& [count, bits, value] : {std::tuple{3, 10, 1000}, std::tuple{3, 10, 1023}, std::tuple{2, 7, 100},
                                             std::tuple{2, 7, 127}, std::tuple{1, 4, 10}, std::tuple{1, 4, 15}}) {
        BitWriter w;
        w.Put(1, 4).Put(static_cast<uint32_t>(count), 10).Put(static_cast<uint32_t>(value), bits);
        EXPECT_EQ(Decode(w.Finish(19)), "<fail>") << count << " digits, value " << value;
    }
}

TEST_F(Segments, AlphanumericPairsAndSingle) {
    BitWriter w;
    w.Put(2, 4).Put(3, 9).Put(1049, 11).Put(44, 6);  // 1049 = 23 * 45 + 14
    EXPECT_EQ(Decode(w.Finish(19)), "NE:");
}

TEST_F(Segments, AlphanumericValueWithoutCharacterFails) {
    BitWriter pair;
    pair.Put(2, 4).Put(2, 9).Put(2025, 11);
    EXPECT_EQ(Decode(pair.Finish(19)), "<fail>");
    BitWriter single;
    single.Put(4, 4).Put(1, 8).Put('A', 8).Put(2, 4).Put(1, 9).Put(45, 6);
    EXPECT_EQ(Decode(single.Finish(19)), "<fail>");
}

TEST_F(Segments, KanjiBecomesShiftJis) {
    BitWriter w;
    w.Put(8, 4).Put(4, 8).Put(0x0000, 13).Put(0x1AAA, 13).Put(0x1FFF, 13).Put(0x0D9F, 13);
    // 0x0D9F = 18 * 0xC0 + 0x1F -> 0x121F + 0x8140 = 0x935F
    EXPECT_EQ(Decode(w.Finish(19)), "\x81\x40\xE4\xAA\xEB\xBF\x93\x5F");
}

TEST_F(Segments, BytesAreCopiedUnchanged) {
    BitWriter w;
    w.Put(4, 4).Put(3, 8).Put(0xB0, 8).Put(0xA1, 8).Put(0x00, 8);
    EXPECT_EQ(Decode(w.Finish(19)), std::string("\xB0\xA1\0", 3));
}

TEST_F(Segments, CountWidthsFollowTheVersionGroup) {
    BitWriter mid;  // versions 10-26: 16-bit byte count, 11-bit alphanumeric
    mid.Put(4, 4).Put(2, 16).Put('o', 8).Put('k', 8).Put(2, 4).Put(1, 11).Put(10, 6);
    EXPECT_EQ(Decode(mid.Finish(30), 10), "okA");
    BitWriter high;  // versions 27-40: 14-bit numeric, 12-bit Kanji
    high.Put(1, 4).Put(3, 14).Put(123, 10).Put(8, 4).Put(1, 12).Put(0, 13);
    EXPECT_EQ(Decode(high.Finish(30), 27), "123\x81\x40");
    EXPECT_EQ(Decode(high.Finish(30), 26), "<fail>");  // misread with the narrower widths
}

TEST_F(Segments, MixedSegmentsJoinInOrder) {
    BitWriter w;
    w.Put(1, 4).Put(3, 10).Put(42, 10).Put(2, 4).Put(1, 9).Put(36, 6).Put(4, 4).Put(1, 8).Put('z', 8);
    EXPECT_EQ(Decode(w.Finish(19)), "042 z");
}

TEST_F(Segments, StreamFillingTheSymbolEndsWithoutTerminator) {
    // 4 + 8 + 16 * 8 = 140 bits; three bytes hold 24, 144 - 140 = 4 bits remain.
    BitWriter w;
    w.Put(4, 4).Put(16, 8);
    for (int i = 0; i < 16; ++i) w.Put('a' + i, 8);
    std::vector<uint8_t> stream = w.Finish(18);
    ASSERT_EQ(stream.size(), 18u);
    stream.back() |= 0x0F;  // the leftover bits are never read as a mode
    EXPECT_EQ(Decode(stream), "abcdefghijklmnop");
}

TEST_F(Segments, SegmentRunningPastTheDataIsDroppedKeepingEarlierOnes) {
    BitWriter w;
    w.Put(4, 4).Put(2, 8).Put('h', 8).Put('i', 8).Put(4, 4).Put(200, 8).Put('x', 8);
    EXPECT_EQ(Decode(w.Finish(6)), "hi");
    BitWriter count;  // the count field itself reaches past the end
    count.Put(4, 4).Put(1, 8).Put('q', 8).Put(1, 4).Put(0, 3);
    EXPECT_EQ(Decode(count.Finish(4)), "q");
}

TEST_F(Segments, StructuredAppendHeaderIsSkipped) {
    BitWriter w;
    w.Put(3, 4).Put(2, 4).Put(3, 4).Put(0x5A, 8).Put(4, 4).Put(2, 8).Put('o', 8).Put('k', 8);
    EXPECT_EQ(Decode(w.Finish(19), 1, true), "ok");
}

TEST_F(Segments, UnsupportedModesAndEmptyStreamsFail) {
    for (uint32_t mode : {3u, 5u, 6u, 7u, 9u, 15u}) {
        BitWriter w;  // a good segment first: its output is discarded too
        w.Put(4, 4).Put(1, 8).Put('a', 8).Put(mode, 4).Put(0, 8);
        EXPECT_EQ(Decode(w.Finish(19)), "<fail>") << "mode " << mode;
    }
    for (uint32_t mode : {3u, 6u, 15u}) {
        BitWriter w;  // still refused when ECI and FNC1 are read
        w.Put(4, 4).Put(1, 8).Put('a', 8).Put(mode, 4).Put(0, 8);
        EXPECT_EQ(Decode(w.Finish(19), 1, false, true), "<fail>") << "mode " << mode;
    }
    EXPECT_EQ(Decode(BitWriter().Finish(19)), "<fail>");  // terminator first
    const uint8_t one = 0x40;
    EXPECT_FALSE(DecodeSegments(&one, 0, 1, false, false, *result));
    EXPECT_FALSE(DecodeSegments(nullptr, 1, 1, false, false, *result));
    EXPECT_FALSE(DecodeSegments(&one, lectavo::kMaxCodewords + 1, 1, false, false, *result));
}

// Streams as encoders write them with ECI or FNC1, decoded both ways: refused
// as the first passes do, read as the photo stage does.
TEST_F(Segments, EciDesignatorsOfEveryLengthAreSkippedWhenRead) {
    BitWriter w;  // ECI 26 (8 bits), bytes, ECI 1000 (16 bits), ECI 100000 (24 bits), alphanumeric
    w.Put(7, 4).Put(26, 8).Put(4, 4).Put(2, 8).Put(0xC3, 8).Put(0xA9, 8);
    w.Put(7, 4).Put(0x8000 | 1000, 16).Put(7, 4).Put(0xC00000 | 100000, 24).Put(2, 4).Put(2, 9).Put(1049, 11);
    const std::vector<uint8_t> stream = w.Finish(19);
    EXPECT_EQ(Decode(stream), "<fail>");
    EXPECT_EQ(Decode(stream, 1, false, true), "\xC3\xA9NE");

    BitWriter badLead;  // 111xxxxx starts no designator
    badLead.Put(4, 4).Put(1, 8).Put('a', 8).Put(7, 4).Put(0xE0, 8);
    EXPECT_EQ(Decode(badLead.Finish(19), 1, false, true), "<fail>");
    BitWriter cut;  // a 24-bit designator cut by the end of the data keeps what came before
    cut.Put(4, 4).Put(1, 8).Put('a', 8).Put(7, 4).Put(0xC0, 8);
    EXPECT_EQ(Decode(cut.Finish(4), 1, false, true), "a");
}

TEST_F(Segments, Fnc1FirstPositionMakesAlphanumericPercentAGroupSeparator) {
    // GS1 element strings (01)04912345123459 (10)AB%C: numeric, then
    // alphanumeric "%10AB%%C" where "%" ends the variable-length field.
    BitWriter w;
    w.Put(5, 4).Put(1, 4).Put(16, 10).Put(10, 10).Put(491, 10).Put(234, 10).Put(512, 10).Put(345, 10).Put(9, 4);
    const std::string alpha = "%10AB%%C", table = "0123456789ABCDEFGHIJKLMNOPQRSTUVWXYZ $%*+-./:";
    w.Put(2, 4).Put(8, 9);
    for (size_t i = 0; i < alpha.size(); i += 2)
        w.Put(static_cast<uint32_t>(table.find(alpha[i]) * 45 + table.find(alpha[i + 1])), 11);
    w.Put(4, 4).Put(1, 8).Put('%', 8);  // a byte-mode "%" stays as it is
    const std::vector<uint8_t> stream = w.Finish(30);
    EXPECT_EQ(Decode(stream, 2), "<fail>");
    EXPECT_EQ(Decode(stream, 2, false, true), std::string("0104912345123459") + '\x1D' + "10AB%C%");
}

TEST_F(Segments, Fnc1SecondPositionPutsItsApplicationIndicatorFirst) {
    for (const auto& [indicator, front] :
         {std::pair<uint32_t, std::string>{37, "37"}, {5, "05"}, {165, "A"}, {222, "z"}}) {
        BitWriter w;
        w.Put(9, 4).Put(indicator, 8).Put(2, 4).Put(2, 9).Put(38 * 45 + 10, 11);  // "%A"
        EXPECT_EQ(Decode(w.Finish(19), 1, false, true), front + '\x1D' + "A") << indicator;
        EXPECT_EQ(Decode(w.Finish(19)), "<fail>");
    }
    BitWriter notALetter;
    notALetter.Put(9, 4).Put(100 + '[', 8).Put(4, 4).Put(1, 8).Put('x', 8);
    EXPECT_EQ(Decode(notALetter.Finish(19), 1, false, true), "<fail>");
}

TEST_F(Segments, LargestNumericResultFits) {
    // Version 40-L: 2,956 data codewords, one numeric segment of 7,089 digits.
    BitWriter w;
    w.Put(1, 4).Put(7089, 14);
    for (int i = 0; i < 7089 / 3; ++i) w.Put(789, 10);
    const std::string text = Decode(w.Finish(2956), 40);
    ASSERT_EQ(text.size(), 7089u);
    EXPECT_EQ(text.substr(0, 6), "789789");
}

TEST_F(Segments, OverlongHostileStreamNeverOverrunsTheResult) {
    // 3,706 bytes can hold 8,800 digits, more than any symbol's data; the
    // output is bounded instead of overrunning the result.
    BitWriter w;
    for (int digits : {6000, 2800}) {
        w.Put(1, 4).Put(digits, 14);
        for (int i = 0; i < digits / 3; ++i) w.Put(111, 10);
    }
    ASSERT_LE(w.Bits(), lectavo::kMaxCodewords * 8);
    EXPECT_EQ(Decode(w.Finish(lectavo::kMaxCodewords), 40), "<fail>");
}

}  // namespace
