// The growing-pitch track model: interpolation, extrapolation on either side,
// the pitch model and the initial anchors measured on finder corners.
#include <gtest/gtest.h>

#include <memory>

#include "reading_fixture.h"
#include "sample/tracks.h"

namespace {

using lectavo::PointF;

TEST(Triangular, HoldsForNegativeArguments) {
    EXPECT_EQ(lectavo::Triangular(0), 0.0f);
    EXPECT_EQ(lectavo::Triangular(-1), 0.0f);
    EXPECT_EQ(lectavo::Triangular(5), 15.0f);
    EXPECT_EQ(lectavo::Triangular(-6), 15.0f);
}

TEST(InterpolateTrack, MeetsBothEndsWithAStepGrowingByTheGrowth) {
    PointF points[lectavo::kMaxSide] = {};
    const lectavo::Track track{points, {0.25f, -0.5f}};
    points[10] = {100.0f, 50.0f};
    points[20] = {160.0f, 40.0f};
    lectavo::InterpolateTrack(track, 10, 20);
    EXPECT_FLOAT_EQ(points[20].x, 160.0f);
    EXPECT_FLOAT_EQ(points[20].y, 40.0f);
    for (int k = 11; k < 20; ++k) {
        const PointF before = points[k] - points[k - 1], after = points[k + 1] - points[k];
        EXPECT_NEAR(after.x - before.x, 0.25f, 1e-4f) << k;
        EXPECT_NEAR(after.y - before.y, -0.5f, 1e-4f) << k;
    }
    // First step s with 10 s + T(9) acc = 60: s = (60 - 45 * 0.25) / 10.
    EXPECT_FLOAT_EQ(points[11].x, 100.0f + 4.875f);
    EXPECT_EQ(points[9].x, 0.0f);
    EXPECT_EQ(points[21].x, 0.0f);
}

TEST(InterpolateTrack, IgnoresEmptyAndOutOfRangeSpans) {
    PointF points[lectavo::kMaxSide] = {};
    const lectavo::Track track{points, {}};
    points[5] = {5.0f, 5.0f};
    lectavo::InterpolateTrack(track, 5, 5);
    lectavo::InterpolateTrack(track, 6, 2);
    lectavo::InterpolateTrack(track, -3, 4);
    lectavo::InterpolateTrack(track, 170, 177);
    lectavo::ExtrapolateTrack(track, 5, 5, 8);
    lectavo::ExtrapolateTrack(track, 0, 5, 177);
    lectavo::ExtrapolateTrack(track, 0, 5, -1);
    for (int i = 0; i < lectavo::kMaxSide; ++i) EXPECT_EQ(points[i].x, i == 5 ? 5.0f : 0.0f) << i;
}

TEST(ExtrapolateTrack, ReachesBeyondEitherEndWithTheGrowthTerm) {
    PointF points[lectavo::kMaxSide] = {};
    const lectavo::Track track{points, {0.5f, 0.0f}};
    points[6] = {60.0f, 3.0f};
    points[22] = {220.0f, 5.0f};
    lectavo::ExtrapolateTrack(track, 22, 6, 0);  // e - b = -6, T(-6) = 15
    EXPECT_FLOAT_EQ(points[0].x, 60.0f - 60.0f + 7.5f);
    EXPECT_FLOAT_EQ(points[0].y, 3.0f - 0.75f);
    lectavo::ExtrapolateTrack(track, 6, 22, 28);  // T(6) = 21
    EXPECT_FLOAT_EQ(points[28].x, 220.0f + 60.0f + 10.5f);
}

// The pitch model and the tracks divide (by 7, by S - 7, by the span);
// only the growth uses the float constant 1/7. The values are chosen so that
// multiplying by a reciprocal instead lands one float step away.
TEST(PitchModel, DividesWhereTheModelDivides) {
    const float x = 30.2830009f, y = 32.2200012f;  // TL and TR finder widths
    ASSERT_NE(x / 7.0f, x * lectavo::kOneSeventh);
    auto search = std::make_unique<testsearch::Search>();
    lectavo::LocatedSymbol c;
    c.corners[lectavo::kTopRight] = {x, 0.0f};
    c.corners[lectavo::kBottomLeft] = {0.0f, x};
    c.corners[4 + lectavo::kTopLeft] = {100.0f, 0.0f};
    c.corners[4 + lectavo::kTopRight] = {100.0f + y, 0.0f};
    c.corners[4 + lectavo::kBottomLeft] = {100.0f, y};
    c.corners[8 + lectavo::kTopLeft] = {0.0f, 100.0f};
    c.corners[8 + lectavo::kBottomLeft] = {0.0f, 100.0f + y};
    c.corners[8 + lectavo::kTopRight] = {y, 100.0f};
    lectavo::ReadingArea& area = search->reading;
    area.side = 25;
    lectavo::SetPitchModel(area, c);
    EXPECT_EQ(area.u.x, x / 7.0f);
    EXPECT_EQ(area.v.y, x / 7.0f);
    const float growth = (y - x) * lectavo::kOneSeventh / 18.0f;
    ASSERT_NE(growth, (y - x) * lectavo::kOneSeventh * (1.0f / 18.0f));
    EXPECT_EQ(area.rowGrowth.x, growth);
    EXPECT_EQ(area.columnGrowth.y, growth);
    lectavo::PlaceInitialAnchors(area, c);
    const float half = (x - 21.0f * growth) / 7.0f * 0.5f;  // half the first row-track step at the top-left finder
    EXPECT_EQ(area.rowTrack[0][0].x, half);
    EXPECT_EQ(area.rowTrack[0][0].y, half);

    PointF points[lectavo::kMaxSide] = {};
    const float acc = 0.017f, width = 50.073101f;
    const lectavo::Track track{points, {acc, 0.0f}};
    points[20] = {10.0f, 0.0f};
    points[33] = {10.0f + width, 0.0f};
    lectavo::InterpolateTrack(track, 20, 33);
    const float inner = points[33].x - points[20].x - lectavo::Triangular(12) * acc;
    for (int k = 1; k < 13; ++k)
        EXPECT_EQ(points[20 + k].x,
                  points[20].x + static_cast<float>(k) * inner / 13.0f + lectavo::Triangular(k - 1) * acc)
            << k;
    lectavo::ExtrapolateTrack(track, 20, 33, 0);
    EXPECT_EQ(points[0].x,
              points[33].x + (points[33].x - points[20].x) / 13.0f * -33.0f + lectavo::Triangular(-33) * acc);
}

TEST(InitialAnchors, SitOnModuleCentresOfAnUprightSymbol) {
    auto search = std::make_unique<testsearch::Search>();
    const testpics::Matrix m = testpics::FromQrencode("anchors", 1, 0);
    const readfix::Placement place = readfix::Affine(m.side, 4.0f, 3, 0);
    const lectavo::LocatedSymbol c = readfix::AddCandidate(*search, m, place);
    lectavo::ReadingArea& area = search->reading;
    area.side = 21;
    lectavo::SetPitchModel(area, c);
    EXPECT_FLOAT_EQ(area.u.x, 4.0f);
    EXPECT_NEAR(area.u.y, 0.0f, 1e-6f);
    EXPECT_NEAR(area.rowGrowth.x, 0.0f, 1e-6f);
    EXPECT_EQ(area.runU, 4.0f);
    EXPECT_EQ(area.runV, 4.0f);
    lectavo::PlaceInitialAnchors(area, c);
    for (int i = 0; i < 21; ++i) {
        const PointF row0 = place.forward({i + 0.5f, 0.5f}), row6 = place.forward({i + 0.5f, 6.5f});
        const PointF col0 = place.forward({0.5f, i + 0.5f}), col6 = place.forward({6.5f, i + 0.5f});
        EXPECT_NEAR(area.rowTrack[0][i].x, row0.x, 1e-3f);
        EXPECT_NEAR(area.rowTrack[1][i].y, row6.y, 1e-3f);
        EXPECT_NEAR(area.columnTrack[0][i].y, col0.y, 1e-3f);
        EXPECT_NEAR(area.columnTrack[1][i].x, col6.x, 1e-3f);
    }
}

// A symbol whose module pitch grows towards the right and the bottom: the
// pitch model measures the growth from the finders' sizes, and interpolated
// tracks land on the module centres.
TEST(InitialAnchors, FollowAPitchGrowingAcrossTheSymbol) {
    auto search = std::make_unique<testsearch::Search>();
    const testpics::Matrix m = testpics::FromQrencode("growth", 2, 0);  // side 25
    const float g = 0.02f;                                              // pixels of extra pitch per module
    const auto axis = [=](float t) { return 20.0f + 5.0f * t + 0.5f * g * t * t; };
    readfix::Placement place;
    place.forward = [=](PointF s) { return PointF{axis(s.x), axis(s.y)}; };
    place.inverse = [](PointF q) { return q; };  // not rendered
    const lectavo::LocatedSymbol c = readfix::AddCandidate(*search, m, place);
    lectavo::ReadingArea& area = search->reading;
    area.side = 25;
    lectavo::SetPitchModel(area, c);
    EXPECT_NEAR(area.rowGrowth.x, g, 1e-4f);
    EXPECT_NEAR(area.columnGrowth.y, g, 1e-4f);
    lectavo::PlaceInitialAnchors(area, c);
    for (int i = 0; i < 25; ++i) {
        EXPECT_NEAR(area.rowTrack[0][i].x, axis(i + 0.5f), 0.02f) << i;
        EXPECT_NEAR(area.columnTrack[1][i].y, axis(i + 0.5f), 0.02f) << i;
    }
}

}  // namespace
