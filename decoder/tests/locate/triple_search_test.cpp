#include "locate/triple_search.h"

#include <gtest/gtest.h>

#include <cmath>
#include <string>

#include "locate/finder_scan.h"
#include "location_fixtures.h"
#include "locate/two_finder.h"

namespace {

using lectavo::DecideVersion;
using lectavo::EstimateVersion;

TEST(VersionDecision, SmallVersionsMustAgreeExactly) {
    int version = -1;
    EXPECT_FALSE(DecideVersion(3, 4, false, false, version));
    EXPECT_TRUE(DecideVersion(4, 4, false, false, version));
    EXPECT_EQ(version, 4);
}

TEST(VersionDecision, LargeVersionsWithinFourAreLeftOpen) {
    int version = -1;
    EXPECT_TRUE(DecideVersion(20, 23, false, false, version));
    EXPECT_EQ(version, 0);
    EXPECT_TRUE(DecideVersion(6, 10, false, false, version));
    EXPECT_EQ(version, 0);
    EXPECT_FALSE(DecideVersion(20, 25, false, false, version));
    EXPECT_FALSE(DecideVersion(6, 11, false, false, version));
}

TEST(VersionDecision, VirtualPatternLeavesTheOtherArmToDecide) {
    int version = -1;
    EXPECT_TRUE(DecideVersion(0, 9, true, false, version));
    EXPECT_EQ(version, 9);
    EXPECT_TRUE(DecideVersion(5, 0, false, true, version));
    EXPECT_EQ(version, 5);
}

TEST(VersionEstimate, RoundsHalfDownAndBoundsTheRange) {
    // 14 modules between centres of a version-1 symbol: (14 - 10) / 4 = 1.
    EXPECT_EQ(EstimateVersion(14.0f * 3.0f, 3.0f), 1);
    // 12 / 4 = 3 exactly; 12.0 + 2 = 14 -> 3.5 rounds down.
    EXPECT_EQ(EstimateVersion(22.0f, 1.0f), 3);
    EXPECT_EQ(EstimateVersion(24.0f, 1.0f), 3);
    EXPECT_EQ(EstimateVersion(24.1f, 1.0f), 4);
    EXPECT_EQ(EstimateVersion(186.0f, 1.0f), 44);
    // Exact halves round down at every size: 32.5 -> 32 and 44.5 -> 44 (a
    // float sum with 0.499999 would give 33 and 45).
    EXPECT_EQ(EstimateVersion(140.0f, 1.0f), 32);
    EXPECT_EQ(EstimateVersion(188.0f, 1.0f), 44);
    EXPECT_EQ(EstimateVersion(188.1f, 1.0f), -1);
    // -0.75 rounds (truncating toward zero) to 0; -1.5 to -1.
    EXPECT_EQ(EstimateVersion(5.0f, 1.0f), 0);
    EXPECT_EQ(EstimateVersion(4.0f, 1.0f), -1);
    EXPECT_EQ(EstimateVersion(190.0f, 1.0f), -1);
    EXPECT_EQ(EstimateVersion(1.0f, 0.0f), -1);
    EXPECT_EQ(EstimateVersion(NAN, 1.0f), -1);
}

TEST(ArmRatio, AtMostTwo) {
    EXPECT_TRUE(lectavo::ArmsSimilar(100.0f, 200.0f));
    EXPECT_FALSE(lectavo::ArmsSimilar(100.0f, 210.0f));
    EXPECT_FALSE(lectavo::ArmsSimilar(210.0f, 100.0f));
    EXPECT_FALSE(lectavo::ArmsSimilar(0.0f, 0.0f));
}

struct Case {
    int version, modulePx, turns, level;
};

std::string TextFor(int version) { return "v" + std::to_string(version); }

// Index in search.finders of the pattern at `want`, or -1.
int FinderAt(const testsearch::Search& s, lectavo::PointF want) {
    for (size_t i = 0; i < s.finders.size(); ++i)
        if (std::fabs(s.finders[i].x - want.x) < 0.01f && std::fabs(s.finders[i].y - want.y) < 0.01f)
            return static_cast<int>(i);
    return -1;
}

// Runs scan and triple search on one rendered symbol: the three finders must
// be found at their centres and exactly one candidate must be made of them,
// with the symbol's version, level, mask and finder corners. Data modules
// can mimic a finder; candidates using such a pattern are only counted.
int CheckSymbol(const Case& c, bool withTriples = true) {
    SCOPED_TRACE("version " + std::to_string(c.version) + " module " + std::to_string(c.modulePx) + " turns " +
                 std::to_string(c.turns) + " level " + std::to_string(c.level));
    const testpics::Matrix m = testpics::FromQrencode(TextFor(c.version), c.version, c.level);
    EXPECT_EQ(m.side, 4 * c.version + 17);
    const locfix::Placement where{m.side, c.modulePx, 4, c.turns};
    locfix::PlaneSearch ps(testpics::Render(m, c.modulePx, 4, c.turns));
    testsearch::Search& s = ps.search;

    lectavo::FinderScan(s.plane, s.state.minModuleSize, 1, s.state.finders);
    int byRole[3];
    for (int role = 0; role < 3; ++role) {
        byRole[role] = FinderAt(s, where.FinderCentre(role));
        EXPECT_GE(byRole[role], 0) << "finder " << role;
    }
    if (!withTriples || byRole[0] < 0 || byRole[1] < 0 || byRole[2] < 0) return 0;

    lectavo::TripleSearch(s.plane, s.finders, s.candidates, s.state.triplesLeft);
    int matching = 0;
    for (const lectavo::LocatedSymbol& cand : s.candidates) {
        if (cand.a != byRole[0] || cand.b != byRole[1] || cand.c != byRole[2]) continue;
        ++matching;
        EXPECT_EQ(cand.version, c.version);
        EXPECT_EQ(cand.level, c.level);
        EXPECT_EQ(cand.mask, locfix::MaskOf(m, c.level));
        for (int k = 0; k < 12; ++k) {
            const lectavo::PointF want = where.FinderCorner(k / 4, k % 4);
            EXPECT_NEAR(cand.corners[k].x, want.x, 1.01f) << "finder " << k / 4 << " corner " << k % 4;
            EXPECT_NEAR(cand.corners[k].y, want.y, 1.01f) << "finder " << k / 4 << " corner " << k % 4;
        }
    }
    EXPECT_EQ(matching, 1);
    return static_cast<int>(s.candidates.size()) - matching;
}

TEST(TripleSearchOnSymbols, EveryVersionModuleSizeAndTurn) {
    int symbols = 0, spurious = 0;
    for (int px = 3; px <= 10; ++px)
        for (int turns = 0; turns < 4; ++turns)
            for (int v = 1 + (px * 4 + turns) % 8; v <= 40; v += 8, ++symbols)
                spurious += CheckSymbol({v, px, turns, (v + px) % 4});
    // Patterns that data modules happen to form only rarely make it through
    // the angle, size, version and format checks.
    EXPECT_LE(spurious, symbols / 20);
}

TEST(TripleSearchOnSymbols, TwoPixelModules) {
    // The finder scan finds the centres in every orientation...
    for (int turns = 0; turns < 4; ++turns)
        for (int v : {1, 4, 10, 27, 40}) CheckSymbol({v, 2, turns, 0}, false);
    // ...but a traced extent ends on the last dark pixel, one pixel (half a
    // module) short: upright symbols still read, turned ones miss the
    // format modules.
    for (int v : {1, 3, 7, 12, 20, 33, 40}) CheckSymbol({v, 2, 0, v % 4});
}

// Erases the finder in `role` (0 top-left, 1 top-right, 2 bottom-left) of a
// version-3 symbol; the completion must synthesise it in that role, at its
// centre and with its four corners (a virtual corner finder's corners come
// from side lines through its stored edge points).
void CheckCompletion(int role) {
    const testpics::Matrix m = testpics::FromQrencode(TextFor(3), 3, 1);
    testpics::Matrix cut = m;
    const int r0 = role == 2 ? m.side - 7 : 0, c0 = role == 1 ? m.side - 7 : 0;
    for (int r = r0; r < r0 + 7; ++r)
        for (int c = c0; c < c0 + 7; ++c) cut.dark[static_cast<size_t>(r) * m.side + c] = 0;
    int tried = 0;
    for (int turns = 0; turns < 4; ++turns) {
        SCOPED_TRACE("role " + std::to_string(role) + " turns " + std::to_string(turns));
        locfix::PlaneSearch ps(testpics::Render(cut, 4, 4, turns));
        testsearch::Search& s = ps.search;
        if (lectavo::FinderScan(s.plane, s.state.minModuleSize, 1, s.state.finders) != 2)
            continue;  // data modules may mimic a finder
        ++tried;
        ASSERT_TRUE(lectavo::CompleteTwoFinders(s.plane, s.finders));
        ASSERT_EQ(s.finders.size(), 8u);
        ASSERT_GE(lectavo::TripleSearch(s.plane, s.finders, s.candidates, s.state.triplesLeft), 1);
        const locfix::Placement where{m.side, 4, 4, turns};
        bool found = false;
        for (const auto& cand : s.candidates) {
            const int index[3] = {cand.a, cand.b, cand.c};
            const auto& made = s.finders[static_cast<size_t>(index[role])];
            const lectavo::PointF centre = where.FinderCentre(role);
            // Other placements (a virtual pattern beside the symbol, or a
            // turned reading of it) can pass the format check by chance.
            if (!made.isVirtual || std::fabs(made.x - centre.x) > 1.0f || std::fabs(made.y - centre.y) > 1.0f) continue;
            found = true;
            EXPECT_EQ(cand.version, 3);
            EXPECT_EQ(cand.level, 1);
            EXPECT_EQ(cand.mask, locfix::MaskOf(m, 1));
            for (int k = 0; k < 12; ++k) {
                const lectavo::PointF want = where.FinderCorner(k / 4, k % 4);
                EXPECT_NEAR(cand.corners[k].x, want.x, 2.0f) << "finder " << k / 4 << " corner " << k % 4;
                EXPECT_NEAR(cand.corners[k].y, want.y, 2.0f) << "finder " << k / 4 << " corner " << k % 4;
            }
        }
        EXPECT_TRUE(found);
    }
    EXPECT_GE(tried, 2);
}

TEST(TwoFinderCompletion, MissingBottomLeftFinderIsSynthesised) { CheckCompletion(2); }

// The second placement: P the corner finder, Q its neighbour on the left edge.
TEST(TwoFinderCompletion, MissingTopRightFinderIsSynthesised) { CheckCompletion(1); }

// The third placement: P and Q diagonal, V the corner finder.
TEST(TwoFinderCompletion, MissingCornerFinderIsSynthesised) { CheckCompletion(0); }

}  // namespace
