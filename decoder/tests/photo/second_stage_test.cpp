// The photo reader inside the decode calls: when it runs, what it adds to the
// binary-plane passes' results and what it leaves alone.
#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

#include "decode_driver.h"
#include "decoder_options.h"
#include "result_store.h"
#include "warped_symbols.h"

namespace {

// Options restored after each test: they are process-wide.
class SecondStage : public testing::Test {
protected:
    void TearDown() override {
        lectavo::SetEffectLevel(3);
        lectavo::SetSymbolCount(0);
    }
};

std::vector<std::string> Texts() {
    std::vector<std::string> texts;
    const lectavo::ResultStore* store = lectavo::ThreadResults();
    for (int i = 0; i < store->Count(); ++i) {
        const lectavo::DecodeResult* r = store->At(i);
        texts.emplace_back(reinterpret_cast<const char*>(r->data), static_cast<size_t>(r->dataLength));
    }
    return texts;
}

int DecodeGrey(const warped::Grey& picture) {
    return lectavo::DecodeGreyIntoStore(picture.pixels.data(), picture.width, picture.height);
}

// A symbol upright and flat, which the binary-plane passes read.
void DrawUpright(warped::Grey& picture, const warped::Symbol& symbol, float cx, float cy) {
    warped::Draw(picture, symbol, warped::Place(cx, cy, symbol.side * 5.0f, 0));
}

// A slanted symbol, light on dark, which only the photo reader reads: the
// square around it is inverted after drawing.
warped::Placement DrawLightOnDark(warped::Grey& picture, const warped::Symbol& symbol, float cx, float cy) {
    const float size = symbol.side * 5.0f;
    const warped::Placement at = warped::Place(cx, cy, size, 30, 0.15f);
    warped::Draw(picture, symbol, at);
    const int half = static_cast<int>(size * 0.8f);
    for (int y = std::max(0, int(cy) - half); y < std::min(picture.height, int(cy) + half); ++y)
        for (int x = std::max(0, int(cx) - half); x < std::min(picture.width, int(cx) + half); ++x) {
            uint8_t& p = picture.pixels[static_cast<size_t>(y) * picture.width + x];
            p = static_cast<uint8_t>(255 - p);
        }
    return at;
}

TEST_F(SecondStage, RunsOnlyAtEffectLevelThree) {
    auto picture = warped::Blank(400, 400);
    DrawLightOnDark(picture, warped::Encode("light on dark", 2), 200, 200);
    for (int level : {0, 1, 2}) {
        lectavo::SetEffectLevel(level);
        EXPECT_EQ(DecodeGrey(picture), 0) << "level " << level;
    }
    lectavo::SetEffectLevel(3);
    EXPECT_EQ(DecodeGrey(picture), 1);
    EXPECT_EQ(Texts(), std::vector<std::string>{"light on dark"});
}

TEST_F(SecondStage, AppendsAfterThePassesAndNeverRepeatsASymbol) {
    const auto upright = warped::Encode("upright", 2);
    auto picture = warped::Blank(800, 400);
    DrawUpright(picture, upright, 200, 200);
    lectavo::SetSymbolCount(2);
    // Short of the count, the photo reader runs and finds the same symbol.
    ASSERT_EQ(DecodeGrey(picture), 1);
    EXPECT_EQ(Texts(), std::vector<std::string>{"upright"});

    const auto at = DrawLightOnDark(picture, warped::Encode("light on dark", 2), 600, 200);
    ASSERT_EQ(DecodeGrey(picture), 2);
    EXPECT_EQ(Texts(), (std::vector<std::string>{"upright", "light on dark"}));
    const lectavo::DecodeResult* appended = lectavo::ThreadResults()->At(1);
    for (int k = 0; k < 4; ++k) {
        EXPECT_NEAR(appended->corners[k][0], at.x[k], 5) << "corner " << k;
        EXPECT_NEAR(appended->corners[k][1], at.y[k], 5) << "corner " << k;
    }
}

TEST_F(SecondStage, KeepsTwoIdenticalSymbolsApart) {
    const auto symbol = warped::Encode("twin", 2);
    auto picture = warped::Blank(800, 400);
    DrawLightOnDark(picture, symbol, 200, 200);
    DrawLightOnDark(picture, symbol, 600, 200);
    lectavo::SetSymbolCount(2);
    EXPECT_EQ(DecodeGrey(picture), 2);
    EXPECT_EQ(Texts(), (std::vector<std::string>{"twin", "twin"}));
}

// Identical symbols side by side on a large picture under uneven light: the
// planes find each at corners some pixels apart, and each is one symbol.
TEST_F(SecondStage, ReportsLargeIdenticalSymbolsOnceEach) {
    const auto symbol = warped::Encode("large twin", 2);
    auto picture = warped::Blank(2400, 1200);
    warped::Draw(picture, symbol, warped::Place(600, 600, symbol.side * 36.0f, 4));
    warped::Draw(picture, symbol, warped::Place(1800, 600, symbol.side * 36.0f, -4), {false, false, 0.4f, 6});
    lectavo::SetSymbolCount(4);
    EXPECT_EQ(DecodeGrey(picture), 2);
    EXPECT_EQ(Texts(), (std::vector<std::string>{"large twin", "large twin"}));
}

TEST_F(SecondStage, ReadsMirroredSymbols) {
    const auto symbol = warped::Encode("mirrored", 3);
    auto picture = warped::Blank(300, 300);
    warped::Draw(picture, symbol, warped::Place(150, 150, symbol.side * 5.0f, 0), {false, true});
    EXPECT_EQ(DecodeGrey(picture), 1);
    EXPECT_EQ(Texts(), std::vector<std::string>{"mirrored"});
}

TEST_F(SecondStage, ReadsABinaryArrayOnlyAtEffectLevelThree) {
    auto picture = warped::Blank(400, 400);
    DrawLightOnDark(picture, warped::Encode("binary", 2), 200, 200);
    std::vector<uint8_t> plane(picture.pixels.size());
    for (size_t i = 0; i < plane.size(); ++i) plane[i] = picture.pixels[i] < 128 ? 1 : 0;
    EXPECT_EQ(lectavo::DecodeBinaryIntoStore(plane.data(), picture.width, picture.height), 1);
    EXPECT_EQ(Texts(), std::vector<std::string>{"binary"});
    lectavo::SetEffectLevel(2);
    EXPECT_EQ(lectavo::DecodeBinaryIntoStore(plane.data(), picture.width, picture.height), 0);
}

}  // namespace
