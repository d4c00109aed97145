#include "triple_search.h"

#include <gtest/gtest.h>

#include <cmath>
#include <string>

#include "finder_scan.h"
#include "location_fixtures.h"
#include "two_finder.h"

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

#ifdef QR_TEST_HAVE_QRENCODE

struct Case {
    int version, modulePx, turns, level;
};

std::string TextFor(int version) { return "location " + std::to_string(version); }

// Runs scan and triple search on one rendered symbol and checks the single
// candidate against the symbol as drawn.
void CheckSymbol(const Case& c) {
    SCOPED_TRACE("version " + std::to_string(c.version) + " module " + std::to_string(c.modulePx) + " turns " +
                 std::to_string(c.turns) + " level " + std::to_string(c.level));
    const testpics::Matrix m = testpics::FromQrencode(TextFor(c.version), c.version, c.level);
    ASSERT_EQ(m.side, 4 * c.version + 17);
    const locfix::Placement where{m.side, c.modulePx, 4, c.turns};
    locfix::PlaneSearch ps(testpics::Render(m, c.modulePx, 4, c.turns));
    lectavo::SymbolSearch& s = ps.search;

    ASSERT_GE(lectavo::FinderScan(s, 1), 3);
    for (int role = 0; role < 3; ++role) {
        const lectavo::PointF want = where.FinderCentre(role);
        bool seen = false;
        for (const auto& f : s.finders) seen |= std::fabs(f.x - want.x) < 0.01f && std::fabs(f.y - want.y) < 0.01f;
        EXPECT_TRUE(seen) << "finder " << role << " at " << want.x << "," << want.y;
    }

    ASSERT_EQ(lectavo::TripleSearch(s), 1);
    const lectavo::SymbolCandidate& cand = s.candidates[0];
    EXPECT_EQ(cand.version, c.version);
    EXPECT_EQ(cand.level, c.level);
    EXPECT_EQ(cand.mask, locfix::MaskOf(m, c.level));
    const int byRole[3] = {cand.a, cand.b, cand.c};
    for (int role = 0; role < 3; ++role) {
        const lectavo::PointF centre = where.FinderCentre(role);
        EXPECT_NEAR(s.finders[byRole[role]].x, centre.x, 0.01f);
        EXPECT_NEAR(s.finders[byRole[role]].y, centre.y, 0.01f);
        for (int k = 0; k < 4; ++k) {
            const lectavo::PointF want = where.FinderCorner(role, k);
            EXPECT_NEAR(cand.corners[4 * role + k].x, want.x, 1.01f) << "role " << role << " corner " << k;
            EXPECT_NEAR(cand.corners[4 * role + k].y, want.y, 1.01f) << "role " << role << " corner " << k;
        }
    }
}

TEST(TripleSearchOnSymbols, EveryVersionAtVaryingSizeAndTurn) {
    for (int v = 1; v <= 40; ++v) CheckSymbol({v, 2 + v % 9, v % 4, v % 4});
}

TEST(TripleSearchOnSymbols, EveryModuleSizeAndTurn) {
    for (int px = 2; px <= 10; ++px)
        for (int turns = 0; turns < 4; ++turns) {
            CheckSymbol({1 + (px * 5 + turns) % 12, px, turns, (px + turns) % 4});
            CheckSymbol({7 + (px * 3 + turns * 7) % 34, px, turns, turns});
        }
}

TEST(TripleSearchOnSymbols, VersionSevenAndUpUseVersionInformation) {
    // At two pixels per module the size estimate of a large symbol is several
    // versions too high; the version information settles it.
    for (int v : {20, 33, 40}) CheckSymbol({v, 2, 0, 1});
}

TEST(TwoFinderCompletion, MissingBottomLeftFinderIsSynthesised) {
    const testpics::Matrix m = testpics::FromQrencode(TextFor(3), 3, 1);
    testpics::Matrix cut = m;
    for (int r = m.side - 7; r < m.side; ++r)
        for (int c = 0; c < 7; ++c) cut.dark[static_cast<size_t>(r) * m.side + c] = 0;
    for (int turns = 0; turns < 4; ++turns) {
        SCOPED_TRACE(turns);
        locfix::PlaneSearch ps(testpics::Render(cut, 4, 4, turns));
        lectavo::SymbolSearch& s = ps.search;
        if (lectavo::FinderScan(s, 1) != 2) continue;  // data modules may mimic a finder
        ASSERT_TRUE(lectavo::CompleteTwoFinders(s));
        ASSERT_EQ(s.finders.size(), 8u);
        ASSERT_GE(lectavo::TripleSearch(s), 1);
        const locfix::Placement where{m.side, 4, 4, turns};
        bool found = false;
        for (const auto& cand : s.candidates) {
            const auto& third = s.finders[cand.c];
            if (!third.isVirtual) continue;
            found = true;
            EXPECT_EQ(cand.version, 3);
            EXPECT_EQ(cand.level, 1);
            EXPECT_EQ(cand.mask, locfix::MaskOf(m, 1));
            const lectavo::PointF centre = where.FinderCentre(2);
            EXPECT_NEAR(third.x, centre.x, 1.0f);
            EXPECT_NEAR(third.y, centre.y, 1.0f);
            for (int k = 0; k < 4; ++k) {
                const lectavo::PointF want = where.FinderCorner(2, k);
                EXPECT_NEAR(cand.corners[8 + k].x, want.x, 2.0f) << k;
                EXPECT_NEAR(cand.corners[8 + k].y, want.y, 2.0f) << k;
            }
        }
        EXPECT_TRUE(found);
    }
}

#endif

}  // namespace
