// pieces: codepage
#include <gtest/gtest.h>

#include <string>

#include "codepage/code_page.h"

// The system converts; what matters here is that text reaches it and comes
// back unharmed through the two-call protocol.
TEST(CodePageWindows, Utf8AndGbkRoundTrip) {
    const std::u16string wide = u"QR \u4E8C\u7EF4\u7801";  // 二维码
    for (const unsigned cp : {platform::kCodePageUtf8, platform::kCodePageGbk}) {
        const int bytes = platform::WideCharToMultiByte(cp, 0, wide.data(), -1, nullptr, 0, nullptr, nullptr);
        std::string narrow(static_cast<size_t>(bytes), '\0');
        bool used = true;
        ASSERT_EQ(platform::WideCharToMultiByte(cp, 0, wide.data(), -1, narrow.data(), bytes, nullptr, &used), bytes);
        EXPECT_FALSE(used);
        EXPECT_EQ(bytes, cp == platform::kCodePageUtf8 ? 13 : 10) << cp;
        const int units = platform::MultiByteToWideChar(cp, 0, narrow.data(), -1, nullptr, 0);
        std::u16string back(static_cast<size_t>(units), u'\0');
        ASSERT_EQ(platform::MultiByteToWideChar(cp, 0, narrow.data(), -1, back.data(), units), units);
        EXPECT_EQ(back, wide + u'\0') << cp;
    }
    bool used = false;
    char out[4] = {};
    const char16_t smile[] = {0xD83D, 0xDE00, 0};
    platform::WideCharToMultiByte(platform::kCodePageGbk, 0, smile, -1, out, 4, "#", &used);
    EXPECT_TRUE(used);
    EXPECT_EQ(out[0], '#');
}
