#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "common/bch.h"
#include "location_fixtures.h"
#include "common/format_decoding.h"
#include "sample/format_reading.h"
#include "search_fixture.h"

namespace {

using qrcommon::MatchRule;

TEST(MatchFormatWord, UpToTheLimitAndFirstOrNearest) {
    const uint32_t code = qrcommon::FormatCodeword(0b10110);
    for (uint32_t errors : {0u, 0x1u, 0x4001u, 0x0210u}) {
        const auto m = qrcommon::MatchFormatWord(code ^ errors, 2, MatchRule::kFirstWithin);
        ASSERT_TRUE(m.Found()) << errors;
        EXPECT_EQ(m.value, 0b10110);
    }
    EXPECT_FALSE(qrcommon::MatchFormatWord(code ^ 0x0007u, 2, MatchRule::kFirstWithin).Found());
    const auto three = qrcommon::MatchFormatWord(code ^ 0x0007u, 3, MatchRule::kNearestWithin);
    EXPECT_EQ(three.value, 0b10110);
    EXPECT_EQ(three.distance, 3);
    // Format codewords lie at least 7 bits apart, so with up to 3 errors the
    // first and the nearest agree.
    for (uint32_t data = 0; data < 32; ++data) {
        const uint32_t word = qrcommon::FormatCodeword(data) ^ 0x1101u;
        EXPECT_EQ(qrcommon::MatchFormatWord(word, 3, MatchRule::kFirstWithin).value,
                  qrcommon::MatchFormatWord(word, 3, MatchRule::kNearestWithin).value);
    }
}

TEST(MatchVersionWord, DistanceThreeNeedsTheWiderLimit) {
    const uint32_t code = qrcommon::VersionCodeword(23);
    EXPECT_EQ(qrcommon::MatchVersionWord(code ^ 0x20001u, 2, MatchRule::kFirstWithin).value, 23);
    EXPECT_FALSE(qrcommon::MatchVersionWord(code ^ 0x20401u, 2, MatchRule::kFirstWithin).Found());
    EXPECT_EQ(qrcommon::MatchVersionWord(code ^ 0x20401u, 3, MatchRule::kNearestWithin).value, 23);
    // Versions below 7 carry no version information.
    const uint32_t six = (6u << 12) | qrcommon::BchRemainder(6u << 12, qrcommon::kVersionPoly);
    EXPECT_FALSE(qrcommon::MatchVersionWord(six, 2, MatchRule::kFirstWithin).Found());
}

// A light 100 x 100 plane with a hand-made candidate: the top-left finder's
// corners lie 3.5 pixels around its centre, so one module is exactly one
// pixel and every format sample point sits at the centre plus whole pixels.
struct HandMade {
    std::vector<uint8_t> plane = std::vector<uint8_t>(100 * 100, 0);
    testsearch::Search search;
    lectavo::LocatedSymbol candidate;

    explicit HandMade(lectavo::PointF topLeftCentre) {
        search.plane.pixels = plane.data();
        search.plane.width = search.plane.height = 100;
        search.finders.resize(3);
        const lectavo::PointF centres[3] = {topLeftCentre, {80.0f, 20.0f}, {20.0f, 80.0f}};
        for (int role = 0; role < 3; ++role) {
            const lectavo::PointF c = centres[role];
            search.finders[role].x = c.x;
            search.finders[role].y = c.y;
            lectavo::PointF* k = candidate.corners + 4 * role;
            k[0] = {c.x - 3.5f, c.y - 3.5f};
            k[1] = {c.x + 3.5f, c.y - 3.5f};
            k[2] = {c.x + 3.5f, c.y + 3.5f};
            k[3] = {c.x - 3.5f, c.y + 3.5f};
        }
        candidate.a = 0;
        candidate.b = 1;
        candidate.c = 2;
        candidate.version = 1;
        candidate.level = candidate.mask = 77;
    }
    // Writes the masked format word of (level indicator, mask) at the pixels
    // (x0 + right, y0 + down) of the top-left copy's offsets.
    void Write(uint32_t indicator, uint32_t mask, int x0, int y0) {
        static const int kOffset[15][2] = {{5, -3}, {5, -2}, {5, -1}, {5, 0}, {5, 1},  {5, 2},  {5, 4}, {5, 5},
                                           {4, 5},  {2, 5},  {1, 5},  {0, 5}, {-1, 5}, {-2, 5}, {-3, 5}};
        const uint32_t word = qrcommon::FormatCodeword((indicator << 3) | mask) ^ qrcommon::kFormatMask;
        for (int k = 0; k < 15; ++k) {
            const int x = x0 + kOffset[k][0], y = y0 + kOffset[k][1];
            if (x >= 0 && y >= 0 && x < 100 && y < 100) plane[static_cast<size_t>(y) * 100 + x] = (word >> k) & 1;
        }
    }
};

TEST(ReadFormatInfo, ExactHalvesRoundDown) {
    // Sample points at 45.5, 37.5 ...: trunc(c + 0.499999) takes pixels 45,
    // 37 ...; rounding the halves up would take the pixels one to the right
    // and one below, which hold a different word.
    HandMade h({40.5f, 40.5f});
    h.Write(3, 3, 41, 41);  // Q, mask 3 where halves rounded up would read
    h.Write(2, 6, 40, 40);  // H, mask 6 where they round down
    ASSERT_TRUE(lectavo::ReadFormatInfo(h.search.plane, h.search.finders, h.candidate));
    EXPECT_EQ(h.candidate.level, 3);
    EXPECT_EQ(h.candidate.mask, 6);
}

TEST(ReadFormatInfo, PixelIndexTruncatesTowardZero) {
    // Bit 14 is sampled at x = -1.0: trunc(-0.500001) is pixel 0, inside the
    // picture (bit 13 reads the same pixel; level L makes both dark).
    HandMade inside({2.0f, 40.0f});
    inside.Write(1, 5, 2, 40);
    ASSERT_TRUE(lectavo::ReadFormatInfo(inside.search.plane, inside.search.finders, inside.candidate));
    EXPECT_EQ(inside.candidate.level, 0);
    EXPECT_EQ(inside.candidate.mask, 5);
    // At x = -1.5 the pixel index is -1: outside, the reading fails at once.
    HandMade outside({1.5f, 40.0f});
    outside.Write(1, 5, 1, 40);
    EXPECT_FALSE(lectavo::ReadFormatInfo(outside.search.plane, outside.search.finders, outside.candidate));
    EXPECT_EQ(outside.candidate.level, 77);
}

// A symbol with the true finder geometry as its candidate.
struct Located {
    testpics::Matrix m;
    locfix::Placement where{0, 0, 0, 0};
    std::vector<uint8_t> plane;
    testsearch::Search search;
    lectavo::LocatedSymbol candidate;

    Located(int version, int level) : m(testpics::FromQrencode("format " + std::to_string(version), version, level)) {}

    void Render(int modulePx, int turns) {
        where = {m.side, modulePx, 4, turns};
        const testpics::Picture p = testpics::Render(m, modulePx, 4, turns);
        plane = testpics::Binarize(p);
        search.plane.pixels = plane.data();
        search.plane.width = p.width;
        search.plane.height = p.height;
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
            ASSERT_TRUE(lectavo::ReadFormatInfo(s.search.plane, s.search.finders, s.candidate))
                << level << " " << turns;
            EXPECT_EQ(s.candidate.level, level);
            EXPECT_EQ(s.candidate.mask, locfix::MaskOf(s.m, level));
        }
}

TEST(ReadFormatInfo, CopiesInOrder) {
    Located two(3, 2);
    two.Flip(0, 8);
    two.Flip(8, 2);
    two.Render(4, 1);
    ASSERT_TRUE(lectavo::ReadFormatInfo(two.search.plane, two.search.finders, two.candidate));
    EXPECT_EQ(two.candidate.level, 2);

    // Three wrong modules beside the top-left finder: the split copy decides.
    Located three(3, 3);
    const int mask = locfix::MaskOf(three.m, 3);
    three.Flip(0, 8);
    three.Flip(7, 8);
    three.Flip(8, 0);
    three.Render(4, 2);
    ASSERT_TRUE(lectavo::ReadFormatInfo(three.search.plane, three.search.finders, three.candidate));
    EXPECT_EQ(three.candidate.level, 3);
    EXPECT_EQ(three.candidate.mask, mask);

    // And when the split copy is damaged too, nothing is read or written.
    const int s = three.m.side;
    three.Flip(8, s - 1);
    three.Flip(8, s - 2);
    three.Flip(s - 1, 8);
    three.Render(4, 2);
    EXPECT_FALSE(lectavo::ReadFormatInfo(three.search.plane, three.search.finders, three.candidate));
    EXPECT_EQ(three.candidate.level, 77);
    EXPECT_EQ(three.candidate.mask, 77);
}

TEST(ReadFormatInfo, SampleOutsideThePictureFailsOnlyWhenReached) {
    Located s(2, 1);
    s.Render(4, 0);
    // The top-right finder as if it lay beyond the right edge.
    const float shift = static_cast<float>(s.search.plane.width);
    s.search.finders[1].x += shift;
    for (int k = 4; k < 8; ++k) s.candidate.corners[k].x += shift;
    ASSERT_TRUE(lectavo::ReadFormatInfo(s.search.plane, s.search.finders, s.candidate));
    EXPECT_EQ(s.candidate.level, 1);

    Located damaged(2, 1);
    damaged.Flip(1, 8);
    damaged.Flip(2, 8);
    damaged.Flip(3, 8);
    damaged.Render(4, 0);
    damaged.search.finders[1].x += shift;
    for (int k = 4; k < 8; ++k) damaged.candidate.corners[k].x += shift;
    EXPECT_FALSE(lectavo::ReadFormatInfo(damaged.search.plane, damaged.search.finders, damaged.candidate));
    EXPECT_EQ(damaged.candidate.level, 77);
}

TEST(ReadVersionInfo, TopRightThenBottomLeftCopy) {
    for (int turns = 0; turns < 4; ++turns) {
        Located s(23, 0);
        s.Render(3, turns);
        s.candidate.version = 0;
        ASSERT_TRUE(lectavo::ReadVersionInfo(s.search.plane, s.search.finders, s.candidate)) << turns;
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
    ASSERT_TRUE(lectavo::ReadVersionInfo(s.search.plane, s.search.finders, s.candidate));
    EXPECT_EQ(s.candidate.version, 23);
    // Three in the bottom-left block as well (column i, row S-11+j).
    s.Flip(side - 11, 0);
    s.Flip(side - 10, 2);
    s.Flip(side - 9, 5);
    s.Render(3, 0);
    s.candidate.version = 0;
    EXPECT_FALSE(lectavo::ReadVersionInfo(s.search.plane, s.search.finders, s.candidate));
    EXPECT_EQ(s.candidate.version, 0);
}

TEST(ReadVersionInfo, BadFinderIndexFails) {
    Located s(7, 0);
    s.Render(3, 0);
    s.candidate.c = 5;
    EXPECT_FALSE(lectavo::ReadVersionInfo(s.search.plane, s.search.finders, s.candidate));
    EXPECT_FALSE(lectavo::ReadFormatInfo(s.search.plane, s.search.finders, s.candidate));
}

}  // namespace
