// pieces: codepage
#include "codepage/code_page.h"

#include <gtest/gtest.h>

#include <string>

namespace {

using platform::kCodePageGbk;
using platform::kCodePageUtf8;

std::u16string Wide(unsigned cp, const std::string& bytes) {
    const int n = platform::MultiByteToWideChar(cp, 0, bytes.data(), static_cast<int>(bytes.size()), nullptr, 0);
    std::u16string out(static_cast<size_t>(n), u'\0');
    EXPECT_EQ(n, platform::MultiByteToWideChar(cp, 0, bytes.data(), static_cast<int>(bytes.size()), out.data(), n));
    return out;
}

std::string Narrow(unsigned cp, const std::u16string& units, const char* default_char, bool* used = nullptr) {
    const int n = platform::WideCharToMultiByte(cp, 0, units.data(), static_cast<int>(units.size()), nullptr, 0,
                                                default_char, used);
    std::string out(static_cast<size_t>(n), ' ');
    EXPECT_EQ(n, platform::WideCharToMultiByte(cp, 0, units.data(), static_cast<int>(units.size()), out.data(), n,
                                               default_char, used));
    return out;
}

TEST(CodePage, Utf8RoundTripsThroughUtf16) {
    const std::string text = "QR \xE4\xBA\x8C\xE7\xBB\xB4\xE7\xA0\x81 \xF0\x9F\x98\x80";  // 二维码, U+1F600
    const std::u16string wide = Wide(kCodePageUtf8, text);
    EXPECT_EQ(wide, u"QR \u4E8C\u7EF4\u7801 \U0001F600");
    EXPECT_EQ(Narrow(kCodePageUtf8, wide, nullptr), text);
}

TEST(CodePage, InvalidUtf8BecomesReplacementCharacters) {
    EXPECT_EQ(Wide(kCodePageUtf8,
                   "a\xFF"
                   "b"),
              u"a\uFFFDb");
    EXPECT_EQ(Wide(kCodePageUtf8, "\xC0\xAF"), u"\uFFFD\uFFFD");            // overlong
    EXPECT_EQ(Wide(kCodePageUtf8, "\xED\xA0\x80"), u"\uFFFD\uFFFD\uFFFD");  // surrogate
    EXPECT_EQ(Wide(kCodePageUtf8,
                   "\xE4\xBA"
                   "x"),
              u"\uFFFDx");  // truncated
    EXPECT_EQ(Wide(kCodePageUtf8, "\xF4\x90\x80\x80"), u"\uFFFD\uFFFD\uFFFD\uFFFD");
    EXPECT_EQ(Wide(kCodePageUtf8, "\xE4"), u"\uFFFD");
}

TEST(CodePage, GbkRoundTripsThroughUtf16) {
    const std::string gbk = "QR\xB6\xFE\xCE\xAC\xC2\xEB\xA1\xC1\x80";  // 二维码×€
    const std::u16string wide = Wide(kCodePageGbk, gbk);
    EXPECT_EQ(wide, u"QR\u4E8C\u7EF4\u7801\u00D7\u20AC");
    EXPECT_EQ(Narrow(kCodePageGbk, wide, nullptr), gbk);
    EXPECT_EQ(Wide(kCodePageGbk, "a\xB6"), u"a\uFFFD");
}

TEST(CodePage, UnrepresentableUnitsBecomeTheDefaultCharacter) {
    bool used = false;
    // Korean Hangul and an emoji (two units) have no code page 936 form.
    EXPECT_EQ(Narrow(kCodePageGbk, u"a\uAC00b", nullptr, &used), "a?b");
    EXPECT_TRUE(used);
    EXPECT_EQ(Narrow(kCodePageGbk, u"x\U0001F600", "#"), "x##");
    // An empty default text makes the replacement a zero byte.
    const std::string cut = Narrow(kCodePageGbk, u"ab\uAC00cd", "");
    EXPECT_EQ(cut, std::string("ab\0cd", 5));
    used = true;
    Narrow(kCodePageGbk, u"plain", "", &used);
    EXPECT_FALSE(used);
}

TEST(CodePage, SizeProtocolAndBadArguments) {
    char16_t small[2];
    EXPECT_EQ(platform::MultiByteToWideChar(kCodePageUtf8, 0, "abc", 3, small, 2), 0);
    EXPECT_EQ(platform::MultiByteToWideChar(kCodePageUtf8, 0, "abc", -1, nullptr, 0), 4);
    EXPECT_EQ(platform::MultiByteToWideChar(kCodePageUtf8, 0, nullptr, 3, nullptr, 0), 0);
    EXPECT_EQ(platform::MultiByteToWideChar(kCodePageUtf8, 0, "abc", 0, nullptr, 0), 0);
    EXPECT_EQ(platform::MultiByteToWideChar(kCodePageUtf8, 0, "abc", -2, nullptr, 0), 0);
    EXPECT_EQ(platform::MultiByteToWideChar(1252, 0, "abc", 3, nullptr, 0), 0);
    char out[8];
    EXPECT_EQ(platform::WideCharToMultiByte(kCodePageGbk, 0, u"ab", 2, out, 1, nullptr, nullptr), 0);
    EXPECT_EQ(platform::WideCharToMultiByte(kCodePageGbk, 0, u"ab", -1, out, 8, nullptr, nullptr), 3);
    EXPECT_STREQ(out, "ab");
}

}  // namespace
