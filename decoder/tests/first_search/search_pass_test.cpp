#include <gtest/gtest.h>

#include <cmath>
#include <string>

#include "crafted_pictures.h"
#include "encode_symbol.h"
#include "own_symbols.h"
#include "locate/finder_scan.h"
#include "first_search/search_pass.h"
#include "location_fixtures.h"
#include "locate/two_finder.h"

namespace {

std::string Text(const lectavo::DecodeResult& r) {
    return std::string(reinterpret_cast<const char*>(r.data), static_cast<size_t>(r.dataLength));
}

TEST(SearchPass, SmallOrMissingPlaneFindsNothing) {
    std::vector<uint8_t> plane(20 * 100, 1);
    testsearch::Search s;
    EXPECT_FALSE(lectavo::SearchPass(lectavo::BinaryPlane{plane.data(), 20, 100}, s.state, 0));
    EXPECT_FALSE(lectavo::SearchPass(lectavo::BinaryPlane{plane.data(), 100, 20}, s.state, 0));
    EXPECT_FALSE(lectavo::SearchPass(lectavo::BinaryPlane{nullptr, 100, 100}, s.state, 0));
    EXPECT_TRUE(s.results.empty());
}

TEST(SearchPass, TwoPatternsOfDifferentSizeGiveUp) {
    // Square patterns: 4-pixel modules and 2-pixel modules, side by side.
    testpics::Matrix big;
    big.side = 7;
    big.dark.assign(49, 1);
    for (int r = 1; r < 6; ++r)
        for (int c = 1; c < 6; ++c) big.dark[r * 7 + c] = (r >= 2 && r <= 4 && c >= 2 && c <= 4);
    const testpics::Picture large = testpics::Render(big, 4, 2);
    const testpics::Picture small = testpics::Render(big, 2, 2);
    testpics::Picture p = testpics::Place(large, 160, 60, 0, 0);
    for (int y = 0; y < small.height; ++y)
        for (int x = 0; x < small.width; ++x)
            p.pixels[static_cast<size_t>(y + 10) * p.width + 100 + x] =
                small.pixels[static_cast<size_t>(y) * small.width + x];
    locfix::PlaneSearch ps(p);
    ASSERT_EQ(lectavo::FinderScan(ps.search.plane, ps.search.state.minModuleSize, 1, ps.search.state.finders), 2);
    EXPECT_FALSE(lectavo::CompleteTwoFinders(ps.search.plane, ps.search.finders));
    EXPECT_FALSE(lectavo::SearchPass(lectavo::BinaryPlane{ps.plane.data(), p.width, p.height}, ps.search.state, 0));
    EXPECT_TRUE(ps.search.finders.empty());
}

// Symbols from our own encoder with a chosen mask: located with the right
// version, level and mask and decoded.
TEST(SearchPass, DecodesOwnEncoderSymbols) {
    for (int k = 0; k < 8; ++k) {
        mosaire::EncoderSettings settings{};
        const std::string text = "own encoder " + std::to_string(k);
        mosaire::SetMessage(settings, text.c_str());
        mosaire::Configure(settings, 1 + 5 * k, k % 4, k + 1);
        const mosaire::EncodedSymbol encoded = mosaire::EncodeSymbol(settings);
        const mosaire::ModuleMatrix* matrix = encoded.matrix.get();
        ASSERT_TRUE(matrix);
        const testpics::Matrix m = testpics::FromModuleMatrix(*matrix);
        locfix::PlaneSearch ps(testpics::Render(m, 3 + k % 3, 4, k % 4));
        ASSERT_TRUE(lectavo::SearchPass(
            lectavo::BinaryPlane{ps.plane.data(), ps.search.plane.width, ps.search.plane.height}, ps.search.state, 0))
            << k;
        ASSERT_EQ(ps.search.results.size(), 1u);
        EXPECT_EQ(Text(ps.search.results[0]), text);
        EXPECT_EQ(ps.search.results[0].version, 1 + 5 * k);
        EXPECT_EQ(ps.search.results[0].level, k % 4);
        EXPECT_EQ(ps.search.results[0].mask, k);
    }
}

TEST(SearchPass, DecodesRenderedSymbols) {
    struct Case {
        int version, modulePx, turns, level;
    };
    for (const Case c : {Case{1, 3, 0, 0}, Case{2, 4, 1, 1}, Case{5, 5, 2, 2}, Case{7, 4, 3, 3}, Case{10, 3, 0, 1},
                         Case{15, 6, 1, 0}, Case{22, 3, 2, 2}, Case{31, 4, 3, 1}, Case{40, 3, 0, 0}}) {
        SCOPED_TRACE(c.version);
        const std::string text = "pass " + std::to_string(c.version);
        const testpics::Matrix m = testpics::FromQrencode(text, c.version, c.level);
        locfix::PlaneSearch ps(testpics::Render(m, c.modulePx, 4, c.turns));
        testsearch::Search& s = ps.search;
        ASSERT_TRUE(
            lectavo::SearchPass(lectavo::BinaryPlane{ps.plane.data(), s.plane.width, s.plane.height}, s.state, 0));
        ASSERT_EQ(s.results.size(), 1u);
        EXPECT_EQ(Text(s.results[0]), text);
        EXPECT_EQ(s.results[0].version, c.version);
        EXPECT_EQ(s.results[0].level, c.level);
        EXPECT_EQ(s.plane.pixels, ps.plane.data());
        EXPECT_TRUE(s.finders.empty());
        EXPECT_TRUE(s.candidates.empty());
        const locfix::Placement where{m.side, c.modulePx, 4, c.turns};
        const lectavo::PointF tl = where.FinderCorner(0, lectavo::kTopLeft);
        EXPECT_NEAR(s.results[0].corners[0][0], tl.x, 1.0f);
        EXPECT_NEAR(s.results[0].corners[0][1], tl.y, 1.0f);
    }
}

TEST(SearchPass, HalfResolutionReadsWhatFullResolutionCannot) {
    const std::string text = "half resolution";
    const testpics::Matrix m = testpics::FromQrencode(text, 3, 1);
    testpics::Picture p = testpics::Render(m, 4, 4, 0);
    // Thin light columns through every module break the runs at full
    // resolution; at half resolution each 2 x 2 block keeps two dark pixels.
    for (int y = 0; y < p.height; ++y)
        for (int x = 0; x < p.width; ++x)
            if (x % 4 == 1) p.pixels[static_cast<size_t>(y) * p.width + x] = 255;
    locfix::PlaneSearch ps(p);
    EXPECT_EQ(lectavo::FinderScan(ps.search.plane, ps.search.state.minModuleSize, 1, ps.search.state.finders), 0);
    ps.search.finders.clear();
    ASSERT_TRUE(lectavo::SearchPass(lectavo::BinaryPlane{ps.plane.data(), p.width, p.height}, ps.search.state, 0));
    ASSERT_EQ(ps.search.results.size(), 1u);
    EXPECT_EQ(Text(ps.search.results[0]), text);
    // Corners come back in full-resolution pixels.
    EXPECT_NEAR(ps.search.results[0].corners[1][0], (4 + m.side) * 4, 2.0f);
    EXPECT_EQ(ps.search.plane.pixels, ps.plane.data());
    EXPECT_EQ(ps.search.plane.width, p.width);
}

TEST(SearchPass, StopsAtTheSymbolCount) {
    const testpics::Picture one = testpics::Render(testpics::FromQrencode("left", 2, 0), 4);
    const testpics::Picture two = testpics::Render(testpics::FromQrencode("right", 2, 0), 4);
    testpics::Picture p = testpics::Place(one, one.width * 2, one.height, 0, 0);
    for (int y = 0; y < two.height; ++y)
        for (int x = 0; x < two.width; ++x)
            p.pixels[static_cast<size_t>(y) * p.width + one.width + x] =
                two.pixels[static_cast<size_t>(y) * two.width + x];
    for (int limit : {0, 1}) {
        locfix::PlaneSearch ps(p);
        ASSERT_TRUE(
            lectavo::SearchPass(lectavo::BinaryPlane{ps.plane.data(), p.width, p.height}, ps.search.state, limit));
        ASSERT_EQ(ps.search.results.size(), limit == 0 ? 2u : 1u);
        if (limit == 0) {
            EXPECT_EQ(Text(ps.search.results[0]), "left");
            EXPECT_EQ(Text(ps.search.results[1]), "right");
        }
    }
}

// Diagonal stripes in the finder rhythm give finders and triples but no
// candidate: the pass is repeatable, and searching the plane again changes
// the state as its replay does, below and above the triples it examined.
TEST(SearchPass, ReplayOfARepeatablePassMatchesSearchingAgain) {
    const crafted::Picture p = crafted::Make(crafted::Kind::kStripesDiagonal4, 1000);
    std::vector<uint8_t> plane(p.pixels.size());
    for (size_t i = 0; i < plane.size(); ++i) plane[i] = p.pixels[i] <= 128;
    const lectavo::BinaryPlane binary{plane.data(), p.width, p.height};
    lectavo::SearchState first;
    bool repeatable = false;
    EXPECT_FALSE(lectavo::RecordedSearchPass(binary, first, 0, repeatable));
    EXPECT_TRUE(repeatable);
    ASSERT_EQ(first.passTriples.size(), 1u);
    const int used = first.passTriples[0];
    ASSERT_GT(used, 1);
    for (const int bound : {3 * used, used, used / 2}) {
        lectavo::SearchState searched, replayed;
        searched.triplesLeft = replayed.triplesLeft = bound;
        replayed.passTriples = first.passTriples;
        EXPECT_FALSE(lectavo::SearchPass(binary, searched, 0));
        lectavo::RepeatSearchPass(0, replayed);
        EXPECT_EQ(searched.triplesLeft, replayed.triplesLeft) << bound;
        EXPECT_TRUE(searched.results.empty());
    }
}

}  // namespace
