// Setter clamping and the bounded message store.
#include <gtest/gtest.h>

#include <cmath>
#include <cstring>
#include <limits>
#include <memory>
#include <string>

#include "settings.h"

namespace {

using namespace mosaire;

class SettingsTest : public ::testing::Test {
protected:
    std::unique_ptr<EncoderSettings> s = std::make_unique<EncoderSettings>();
};

TEST_F(SettingsTest, SizeZeroMeansDefaultsOtherValuesKept) {
    SetSize(*s, 0, 0);
    EXPECT_EQ(s->width, 500);
    EXPECT_EQ(s->height, 300);
    SetSize(*s, -5, 7);
    EXPECT_EQ(s->width, -5);
    EXPECT_EQ(s->height, 7);
}

TEST_F(SettingsTest, ConfigureJudgesLowSixteenBitsUnsigned) {
    Configure(*s, -1, -1, 9);
    EXPECT_EQ(s->version, 0);
    EXPECT_EQ(s->ecLevel, 0);
    EXPECT_EQ(s->maskSetting, 0);
    Configure(*s, 40, 3, 8);
    EXPECT_EQ(s->version, 40);
    EXPECT_EQ(s->ecLevel, 3);
    EXPECT_EQ(s->maskSetting, 8);
    Configure(*s, 41, 4, 0x10003);
    EXPECT_EQ(s->version, 0);
    EXPECT_EQ(s->ecLevel, 0);
    EXPECT_EQ(s->maskSetting, 3);  // high bits ignored
}

TEST_F(SettingsTest, AppearanceDefaultsAndClamps) {
    Appearance(*s, 0.0, 4, 3);
    EXPECT_FLOAT_EQ(s->moduleWidthCm, 0.07f);
    EXPECT_EQ(s->orientation, 0);
    EXPECT_EQ(s->frameStyle, 0);
    Appearance(*s, -1.0, 3, 2);
    EXPECT_FLOAT_EQ(s->moduleWidthCm, 0.07f);
    EXPECT_EQ(s->orientation, 3);
    EXPECT_EQ(s->frameStyle, 2);
    Appearance(*s, 0.2, 1, 0);
    EXPECT_EQ(s->moduleWidthCm, 0.2f);
    Appearance(*s, std::nan(""), 0, 0);
    EXPECT_FLOAT_EQ(s->moduleWidthCm, 0.07f);
    Appearance(*s, 1e300, 0, 0);  // beyond float: held at the largest float
    EXPECT_EQ(s->moduleWidthCm, std::numeric_limits<float>::max());
}

TEST_F(SettingsTest, ColoursDropComponentsAbove255) {
    SetBackColor(*s, 256, 255, 255);
    EXPECT_EQ(s->backColor, 0x00FFFF00u);
    SetBarColor(*s, 1, 2, 3);
    EXPECT_EQ(s->barColor, 0x00030201u);
    SetBarColor(*s, -1, 0x10005, 255);  // 65535 dropped; 0x10005 reads as 5
    EXPECT_EQ(s->barColor, 0x00FF0500u);
}

TEST_F(SettingsTest, MessageIsCopiedAndBounded) {
    char text[] = "HELLO";
    SetMessage(*s, text);
    text[0] = 'J';
    EXPECT_STREQ(s->message, "HELLO");
    SetMessage(*s, nullptr);
    EXPECT_STREQ(s->message, "");
    const std::string longText(9000, 'x');
    std::memset(s.get(), 0x55, sizeof(EncoderSettings));
    SetMessage(*s, longText.c_str());
    EXPECT_EQ(std::strlen(s->message), 7999u);
    EXPECT_EQ(s->width, 0x55555555);  // nothing written past the store
}

TEST_F(SettingsTest, DefaultsFillEveryField) {
    std::memset(s.get(), 0x33, sizeof(EncoderSettings));
    SetDefault(*s);
    EXPECT_STREQ(s->message, "12");
    EXPECT_EQ(s->width, 500);
    EXPECT_EQ(s->height, 300);
    EXPECT_EQ(s->backColor, 0x00FFFFFFu);
    EXPECT_EQ(s->barColor, 0u);
    EXPECT_EQ(s->version, 0);
    EXPECT_EQ(s->ecLevel, 0);
    EXPECT_EQ(s->maskSetting, 0);
    EXPECT_FLOAT_EQ(s->moduleWidthCm, 0.07f);
    EXPECT_EQ(s->orientation, 0);
    EXPECT_EQ(s->frameStyle, 0);
}

TEST(ProcessSettings, SettersChangeTheProcessRecord) {
    SetMessage("ABC");
    Configure(5, 2, 1);
    SetSize(0, 10);
    EXPECT_STREQ(Settings().message, "ABC");
    EXPECT_EQ(Settings().version, 5);
    EXPECT_EQ(Settings().height, 10);
    SetDefault();
    EXPECT_STREQ(Settings().message, "12");
}

}  // namespace
