// When two results are one symbol found twice.
#include "same_symbol.h"

#include <gtest/gtest.h>

#include <cstring>

namespace {

lectavo::DecodeResult At(int x, int y, int side, const char* text = "same", int version = 2) {
    lectavo::DecodeResult r;
    r.version = version;
    r.level = 1;
    r.dataLength = static_cast<int32_t>(std::strlen(text));
    std::memcpy(r.data, text, static_cast<size_t>(r.dataLength));
    const int corners[4][2] = {{x, y}, {x + side, y}, {x + side, y + side}, {x, y + side}};
    std::memcpy(r.corners, corners, sizeof corners);
    return r;
}

TEST(SameSymbol, OverlappingOutlinesWithTheSameContent) {
    // Corners 19 px apart on a 900 px symbol: one symbol found on two planes.
    EXPECT_TRUE(lectavo::SameSymbol(At(225, 1106, 900), At(228, 1087, 900)));
    // One outline inside the other, and a turned outline (corners in another order).
    EXPECT_TRUE(lectavo::SameSymbol(At(100, 100, 400), At(150, 150, 200)));
    lectavo::DecodeResult turned = At(100, 100, 400);
    const int32_t diamond[4][2] = {{300, 50}, {550, 300}, {300, 550}, {50, 300}};
    std::memcpy(turned.corners, diamond, sizeof diamond);
    EXPECT_TRUE(lectavo::SameSymbol(At(100, 100, 400), turned));
}

TEST(SameSymbol, TwinsSideBySideOrOtherContentAreNot) {
    EXPECT_FALSE(lectavo::SameSymbol(At(0, 0, 100), At(130, 0, 100)));
    // Outlines that touch along an edge or at a corner do not overlap.
    EXPECT_FALSE(lectavo::SameSymbol(At(0, 0, 100), At(100, 0, 100)));
    EXPECT_FALSE(lectavo::SameSymbol(At(0, 0, 100), At(100, 100, 100)));
    EXPECT_FALSE(lectavo::SameSymbol(At(0, 0, 100), At(10, 10, 100, "other")));
    EXPECT_FALSE(lectavo::SameSymbol(At(0, 0, 100), At(10, 10, 100, "same", 3)));
}

// Where a finder candidate lies in a symbol held: the diamond's corners
// are inside its bounding box but outside the outline.
TEST(SameSymbol, PointsInsideAnOutlineAtAnyTurn) {
    const int32_t diamond[4][2] = {{300, 50}, {550, 300}, {300, 550}, {50, 300}};
    EXPECT_TRUE(lectavo::InsideOutline(diamond, 300, 300));
    EXPECT_TRUE(lectavo::InsideOutline(diamond, 520, 300));
    EXPECT_FALSE(lectavo::InsideOutline(diamond, 80, 80));
    EXPECT_FALSE(lectavo::InsideOutline(diamond, 560, 300));
    EXPECT_TRUE(lectavo::InsideOutline(At(0, 0, 100).corners, 50.5, 99.5));
}

}  // namespace
