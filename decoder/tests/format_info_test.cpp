#include <gtest/gtest.h>

#include <string>

#include "common/bch.h"
#include "location_fixtures.h"
#include "symbol_search.h"

namespace {

TEST(CorrectFormatWord, UpToTwoBitErrors) {
    const uint32_t code = qrcommon::FormatCodeword(0b10110);
    for (uint32_t errors : {0u, 0x1u, 0x4001u, 0x0210u}) {
        uint32_t word = code ^ errors;
        ASSERT_TRUE(lectavo::CorrectFormatWord(word)) << errors;
        EXPECT_EQ(word, code);
    }
    uint32_t word = code ^ 0x0007u;
    EXPECT_FALSE(lectavo::CorrectFormatWord(word));
    EXPECT_EQ(word, code ^ 0x0007u);
}

TEST(CorrectVersionWord, DistanceThreeIsNotCorrected) {
    const uint32_t code = qrcommon::VersionCodeword(23);
    uint32_t word = code ^ 0x20001u;
    ASSERT_TRUE(lectavo::CorrectVersionWord(word));
    EXPECT_EQ(word >> 12, 23u);
    word = code ^ 0x20401u;
    EXPECT_FALSE(lectavo::CorrectVersionWord(word));
    // Versions below 7 carry no version information.
    word = (6u << 12) | qrcommon::BchRemainder(6u << 12, qrcommon::kVersionPoly);
    EXPECT_FALSE(lectavo::CorrectVersionWord(word));
}

#ifdef QR_TEST_HAVE_QRENCODE

// A symbol with the true finder geometry as its candidate.
struct Located {
    testpics::Matrix m;
    locfix::Placement where{0, 0, 0, 0};
    std::vector<uint8_t> plane;
    lectavo::SymbolSearch search;
    lectavo::SymbolCandidate candidate;

    Located(int version, int level) : m(testpics::FromQrencode("format " + std::to_string(version), version, level)) {}

    void Render(int modulePx, int turns) {
        where = {m.side, modulePx, 4, turns};
        const testpics::Picture p = testpics::Render(m, modulePx, 4, turns);
        plane = testpics::Binarize(p);
        search.image = plane.data();
        search.width = p.width;
        search.height = p.height;
        search.finders.resize(3);
        for (int role = 0; role < 3; ++role) {
            const lectavo::PointF c = where.FinderCentre(role);
            search.finders[role].x = c.x;
            search.finders[role].y = c.y;
            for (int k = 0; k < 4; ++k) candidate.corners[4 * role + k] = where.FinderCorner(role, k);
        }
        candidate.a = 0;
        candidate.b = 1;
        candidate.c = 2;
        candidate.version = (m.side - 17) / 4;
        candidate.level = candidate.mask = 77;
    }
    void Flip(int row, int col) {
        uint8_t& d = m.dark[static_cast<size_t>(row) * m.side + col];
        d = !d;
    }
};

TEST(ReadFormatInfo, LevelAndMaskInEveryTurn) {
    for (int level = 0; level < 4; ++level)
        for (int turns = 0; turns < 4; ++turns) {
            Located s(2 + level, level);
            s.Render(3, turns);
            ASSERT_TRUE(lectavo::ReadFormatInfo(s.search, s.candidate)) << level << " " << turns;
            EXPECT_EQ(s.candidate.level, level);
            EXPECT_EQ(s.candidate.mask, locfix::MaskOf(s.m, level));
        }
}

TEST(ReadFormatInfo, CopiesInOrder) {
    Located two(3, 2);
    two.Flip(0, 8);
    two.Flip(8, 2);
    two.Render(4, 1);
    ASSERT_TRUE(lectavo::ReadFormatInfo(two.search, two.candidate));
    EXPECT_EQ(two.candidate.level, 2);

    // Three wrong modules beside the top-left finder: the split copy decides.
    Located three(3, 3);
    const int mask = locfix::MaskOf(three.m, 3);
    three.Flip(0, 8);
    three.Flip(7, 8);
    three.Flip(8, 0);
    three.Render(4, 2);
    ASSERT_TRUE(lectavo::ReadFormatInfo(three.search, three.candidate));
    EXPECT_EQ(three.candidate.level, 3);
    EXPECT_EQ(three.candidate.mask, mask);

    // And when the split copy is damaged too, nothing is read or written.
    const int s = three.m.side;
    three.Flip(8, s - 1);
    three.Flip(8, s - 2);
    three.Flip(s - 1, 8);
    three.Render(4, 2);
    EXPECT_FALSE(lectavo::ReadFormatInfo(three.search, three.candidate));
    EXPECT_EQ(three.candidate.level, 77);
    EXPECT_EQ(three.candidate.mask, 77);
}

TEST(ReadFormatInfo, SampleOutsideThePictureFailsOnlyWhenReached) {
    Located s(2, 1);
    s.Render(4, 0);
    // The top-right finder as if it lay beyond the right edge.
    const float shift = static_cast<float>(s.search.width);
    s.search.finders[1].x += shift;
    for (int k = 4; k < 8; ++k) s.candidate.corners[k].x += shift;
    ASSERT_TRUE(lectavo::ReadFormatInfo(s.search, s.candidate));
    EXPECT_EQ(s.candidate.level, 1);

    Located damaged(2, 1);
    damaged.Flip(1, 8);
    damaged.Flip(2, 8);
    damaged.Flip(3, 8);
    damaged.Render(4, 0);
    damaged.search.finders[1].x += shift;
    for (int k = 4; k < 8; ++k) damaged.candidate.corners[k].x += shift;
    EXPECT_FALSE(lectavo::ReadFormatInfo(damaged.search, damaged.candidate));
    EXPECT_EQ(damaged.candidate.level, 77);
}

TEST(ReadVersionInfo, TopRightThenBottomLeftCopy) {
    for (int turns = 0; turns < 4; ++turns) {
        Located s(23, 0);
        s.Render(3, turns);
        s.candidate.version = 0;
        ASSERT_TRUE(lectavo::ReadVersionInfo(s.search, s.candidate)) << turns;
        EXPECT_EQ(s.candidate.version, 23);
    }
    // Three wrong modules in the top-right block (row i, column S-11+j).
    Located s(23, 0);
    const int side = s.m.side;
    s.Flip(0, side - 11);
    s.Flip(2, side - 10);
    s.Flip(5, side - 9);
    s.Render(3, 0);
    s.candidate.version = 0;
    ASSERT_TRUE(lectavo::ReadVersionInfo(s.search, s.candidate));
    EXPECT_EQ(s.candidate.version, 23);
    // Three in the bottom-left block as well (column i, row S-11+j).
    s.Flip(side - 11, 0);
    s.Flip(side - 10, 2);
    s.Flip(side - 9, 5);
    s.Render(3, 0);
    s.candidate.version = 0;
    EXPECT_FALSE(lectavo::ReadVersionInfo(s.search, s.candidate));
    EXPECT_EQ(s.candidate.version, 0);
}

TEST(ReadVersionInfo, BadFinderIndexFails) {
    Located s(7, 0);
    s.Render(3, 0);
    s.candidate.c = 5;
    EXPECT_FALSE(lectavo::ReadVersionInfo(s.search, s.candidate));
    EXPECT_FALSE(lectavo::ReadFormatInfo(s.search, s.candidate));
}

#endif

}  // namespace
