#include "locate/finder_scan.h"

#include <gtest/gtest.h>

#include <cmath>
#include <random>
#include <vector>

#include "locate/boundary.h"
#include "core/geometry.h"
#include "search_fixture.h"

namespace {

// A light plane to draw runs and patterns into.
struct Canvas {
    int width, height;
    std::vector<uint8_t> px;
    testsearch::Search search;

    Canvas(int w, int h, int minModule = 1) : width(w), height(h), px(static_cast<size_t>(w) * h, 0) {
        search.plane.pixels = px.data();
        search.plane.width = w;
        search.plane.height = h;
        search.minModuleSize = static_cast<uint8_t>(minModule);
    }
    void Fill(int x0, int y0, int w, int h, uint8_t v) {
        for (int y = y0; y < y0 + h; ++y)
            for (int x = x0; x < x0 + w; ++x)
                if (x >= 0 && y >= 0 && x < width && y < height) px[static_cast<size_t>(y) * width + x] = v;
    }
    // Dark runs of the given lengths along row y from column x, alternating
    // with light runs (runs[0] dark).
    void Runs(int x, int y, std::initializer_list<int> runs) {
        bool dark = true;
        for (int r : runs) {
            Fill(x, y, r, 1, dark ? 1 : 0);
            x += r;
            dark = !dark;
        }
    }
    // A 7 x 7-module finder pattern with its top-left corner at (x, y).
    void Finder(int x, int y, int module) {
        Fill(x, y, 7 * module, 7 * module, 1);
        Fill(x + module, y + module, 5 * module, 5 * module, 0);
        Fill(x + 2 * module, y + 2 * module, 3 * module, 3 * module, 1);
    }
};

TEST(CrossCheck, RunProportions) {
    lectavo::RunEdges e;
    Canvas pass(60, 3);
    pass.Runs(10, 1, {5, 5, 15, 5, 5});
    ASSERT_TRUE(lectavo::CrossCheckHorizontal(pass.search.plane, 27, 1, e));
    EXPECT_EQ(e.e[0], 10);
    EXPECT_EQ(e.e[2], 20);
    EXPECT_EQ(e.e[3], 35);
    EXPECT_EQ(e.e[5], 45);
    EXPECT_FLOAT_EQ(e.Centre(), 27.5f);

    Canvas tooLong(60, 3);
    tooLong.Runs(10, 1, {5, 5, 21, 5, 5});
    EXPECT_FALSE(lectavo::CrossCheckHorizontal(tooLong.search.plane, 30, 1, e));

    Canvas limit(60, 3);
    limit.Runs(10, 1, {5, 5, 20, 5, 5});
    EXPECT_TRUE(lectavo::CrossCheckHorizontal(limit.search.plane, 30, 1, e));

    Canvas thinOuter(60, 3);
    thinOuter.Runs(10, 1, {1, 5, 15, 5, 5});  // 1 < 0.399 * 31 / 7
    EXPECT_FALSE(lectavo::CrossCheckHorizontal(thinOuter.search.plane, 27, 1, e));

    // Starting on a light pixel fails.
    EXPECT_FALSE(lectavo::CrossCheckHorizontal(pass.search.plane, 17, 1, e));
}

TEST(CrossCheck, VerticalMatchesHorizontal) {
    Canvas c(3, 60);
    bool dark = true;
    int y = 10;
    for (int r : {5, 5, 15, 5, 5}) {
        c.Fill(1, y, 1, r, dark ? 1 : 0);
        y += r;
        dark = !dark;
    }
    lectavo::RunEdges e;
    ASSERT_TRUE(lectavo::CrossCheckVertical(c.search.plane, 1, 27, e));
    EXPECT_FLOAT_EQ(e.Centre(), 27.5f);
    EXPECT_FALSE(lectavo::CrossCheckVertical(c.search.plane, 2, 27, e));  // last column never examined
}

TEST(CrossCheck, PlaneBorders) {
    lectavo::RunEdges e;
    // Outer runs running into the border end at the border.
    Canvas left(40, 3);
    left.Runs(0, 1, {5, 5, 15, 5, 5});
    ASSERT_TRUE(lectavo::CrossCheckHorizontal(left.search.plane, 17, 1, e));
    EXPECT_EQ(e.e[0], 0);
    Canvas right(40, 3);
    right.Runs(5, 1, {5, 5, 15, 5, 5});  // ends at column 39
    ASSERT_TRUE(lectavo::CrossCheckHorizontal(right.search.plane, 22, 1, e));
    EXPECT_EQ(e.e[5], 40);
    // The light run reaching column 0 fails.
    Canvas cut(40, 3);
    cut.Runs(1, 1, {15, 5, 5});
    EXPECT_FALSE(lectavo::CrossCheckHorizontal(cut.search.plane, 5, 1, e));
    // Points outside the plane fail without reading it.
    EXPECT_FALSE(lectavo::CrossCheckHorizontal(left.search.plane, -1, 1, e));
    EXPECT_FALSE(lectavo::CrossCheckHorizontal(left.search.plane, 17, 5, e));
    EXPECT_FALSE(lectavo::CrossCheckVertical(left.search.plane, 17, -3, e));
}

// The run-table check must agree with the pixel walk through every dark
// pixel, including runs that touch the row's first and last two pixels,
// runs across the 64-pixel blocks the runs are read in, and dark bytes
// other than 1.
TEST(CrossCheck, RunTableMatchesPixelWalk) {
    std::mt19937 rng(5);
    size_t passed = 0;
    for (int trial = 0; trial < 3000; ++trial) {
        const int w = 3 + static_cast<int>(rng() % 150);
        Canvas c(w, 3);
        int x = 0;
        while (x < w) {  // runs of 1-6 pixels, some drawn as finder proportions
            const int len = 1 + static_cast<int>(rng() % 6);
            c.Fill(x, 1, len, 1, (rng() & 1) ? static_cast<uint8_t>(1 + rng() % 255) : 0);
            x += len;
        }
        if (trial % 3 == 0) c.Runs(static_cast<int>(rng() % 6), 1, {1, 1, 3, 1, 1});
        lectavo::RowRuns runs(w);
        runs.Read(c.search.plane.Row(1));
        for (int k = 0; k < runs.Count(); ++k)
            for (int px = runs.Start(k); px < runs.Start(k + 1); ++px) {
                lectavo::RunEdges walked, table;
                const bool expected = lectavo::CrossCheckHorizontal(c.search.plane, px, 1, walked);
                ASSERT_EQ(lectavo::CrossCheckRun(runs, k, table), expected) << "trial " << trial << " x " << px;
                if (!expected) continue;
                ++passed;
                for (int e = 0; e < 6; ++e) EXPECT_EQ(table.e[e], walked.e[e]);
            }
    }
    EXPECT_GT(passed, 500u);
}

TEST(FinderScan, FindsCentreAndStoresEachPatternOnce) {
    Canvas c(80, 80);
    c.Finder(20, 30, 4);
    ASSERT_EQ(lectavo::FinderScan(c.search.plane, c.search.state.minModuleSize, 1, c.search.state.finders), 1);
    EXPECT_FLOAT_EQ(c.search.finders[0].x, 34.0f);
    EXPECT_FLOAT_EQ(c.search.finders[0].y, 44.0f);
    EXPECT_EQ(c.search.finders[0].isVirtual, 0);
}

TEST(FinderScan, PatternsCloserThanOnePixelAreOne) {
    Canvas c(80, 80);
    c.Finder(20, 30, 4);
    lectavo::FinderPattern near;
    near.x = 34.8f;
    near.y = 43.2f;
    c.search.finders.push_back(near);
    EXPECT_EQ(lectavo::FinderScan(c.search.plane, c.search.state.minModuleSize, 1, c.search.state.finders), 1);
    near.x = 35.0f;  // a whole pixel away in x
    near.y = 44.0f;
    c.search.finders.assign(1, near);
    EXPECT_EQ(lectavo::FinderScan(c.search.plane, c.search.state.minModuleSize, 1, c.search.state.finders), 2);
}

TEST(FinderScan, StepFollowsMinimumModuleSize) {
    // Centre square rows and columns 16..21: no multiple of 14 among them.
    for (int minModule : {1, 7}) {
        Canvas c(60, 60, minModule);
        c.Finder(12, 12, 2);
        EXPECT_EQ(lectavo::FinderScan(c.search.plane, c.search.state.minModuleSize, 1, c.search.state.finders),
                  minModule == 1 ? 1 : 0)
            << minModule;
    }
    // The divisor shrinks the step again.
    Canvas c(60, 60, 7);
    c.Finder(12, 12, 2);
    EXPECT_EQ(lectavo::FinderScan(c.search.plane, c.search.state.minModuleSize, 7, c.search.state.finders), 1);
}

TEST(FinderScan, StopsAt128Patterns) {
    Canvas c(12 * 30 + 4, 12 * 30 + 4);
    for (int i = 0; i < 30; ++i)
        for (int j = 0; j < 30; ++j) c.Finder(2 + 12 * i, 2 + 12 * j, 1);
    EXPECT_EQ(lectavo::FinderScan(c.search.plane, c.search.state.minModuleSize, 1, c.search.state.finders),
              lectavo::kMaxFinders);
}

// The result lies on the outer pixel edge of the ring, as the boundary walk
// places its points: pixels 10..37 span the edges 10 and 38.
TEST(RayTrace, OuterEdgeOfOuterRing) {
    Canvas c(60, 60);
    c.Finder(10, 10, 4);  // pixels 10..37, centre 24
    const lectavo::PointF centre{24.0f, 24.0f};
    lectavo::PointF edge;
    const float pi = 3.1415927f;
    int x = 0, y = 0;
    ASSERT_TRUE(lectavo::TraceRay(c.search.plane, centre, 0.0f, edge));
    EXPECT_EQ(edge.x, 38.0f);
    EXPECT_EQ(edge.y, 24.0f);
    lectavo::TracedPixel(edge, 0.0f, x, y);  // the walk starts on the last dark pixel
    EXPECT_EQ(x, 37);
    EXPECT_EQ(y, 24);
    ASSERT_TRUE(lectavo::TraceRay(c.search.plane, centre, -pi / 2, edge));  // down
    EXPECT_EQ(edge.x, 24.0f);
    EXPECT_EQ(edge.y, 38.0f);
    lectavo::TracedPixel(edge, -pi / 2, x, y);
    EXPECT_EQ(y, 37);
    ASSERT_TRUE(lectavo::TraceRay(c.search.plane, centre, pi / 2, edge));  // up
    EXPECT_EQ(edge.x, 24.0f);
    EXPECT_EQ(edge.y, 10.0f);
    ASSERT_TRUE(lectavo::TraceRay(c.search.plane, centre, pi, edge));
    EXPECT_EQ(edge.x, 10.0f);
    ASSERT_TRUE(lectavo::TraceRay(c.search.plane, centre, pi * 1.25f, edge));  // down-left diagonal
    EXPECT_EQ(edge.x, 11.0f);
    EXPECT_EQ(edge.y, 37.0f);
    ASSERT_TRUE(lectavo::TraceRay(c.search.plane, centre, 1.3f, edge));  // steep, up and right
    EXPECT_EQ(edge.y, 10.0f);
    EXPECT_EQ(edge.x, static_cast<float>(lectavo::RoundCoord(24.0f + 14.0f / std::tan(1.3f))));
}

TEST(RayTrace, BorderRules) {
    lectavo::PointF edge;
    // Outer ring on the border: the border pixel is the result.
    Canvas ring(40, 40);
    ring.Finder(0, 5, 4);
    ASSERT_TRUE(lectavo::TraceRay(ring.search.plane, {14.0f, 19.0f}, 3.1415927f, edge));
    EXPECT_EQ(edge.x, 0.0f);
    // Light ring cut by the border: fails.
    Canvas cut(40, 40);
    cut.Finder(-4, 5, 4);
    EXPECT_FALSE(lectavo::TraceRay(cut.search.plane, {10.0f, 19.0f}, 3.1415927f, edge));
    // Start outside the plane or not a number: fails.
    EXPECT_FALSE(lectavo::TraceRay(cut.search.plane, {-1e9f, 3.0f}, 0.0f, edge));
    EXPECT_FALSE(lectavo::TraceRay(cut.search.plane, {NAN, 3.0f}, 0.0f, edge));
}

TEST(BoundaryWalk, EndsOfEachSide) {
    Canvas c(60, 60);
    c.Finder(10, 12, 4);  // x 10..37, y 12..39
    const lectavo::PointF centre{24.0f, 26.0f};
    auto walk = [&](int x, int y, bool cw) { return lectavo::WalkBoundary(c.search.plane, x, y, centre, cw); };
    lectavo::PointF p = walk(37, 26, true);  // right side, downwards
    EXPECT_EQ(p.x, 38.0f);
    EXPECT_EQ(p.y, 39.0f);
    p = walk(37, 26, false);  // right side, upwards
    EXPECT_EQ(p.x, 38.0f);
    EXPECT_EQ(p.y, 12.0f);
    p = walk(24, 12, true);  // top side, rightwards
    EXPECT_EQ(p.x, 37.0f);
    EXPECT_EQ(p.y, 12.0f);
    p = walk(24, 39, true);  // bottom side, leftwards
    EXPECT_EQ(p.x, 10.0f);
    EXPECT_EQ(p.y, 40.0f);
    p = walk(10, 26, true);  // left side, upwards
    EXPECT_EQ(p.x, 10.0f);
    EXPECT_EQ(p.y, 12.0f);
    p = walk(9, 26, false);  // light start: one step inward first
    EXPECT_EQ(p.x, 10.0f);
    EXPECT_EQ(p.y, 39.0f);
}

TEST(BoundaryWalk, FollowsATiltedSide) {
    // A right side leaning outwards by one pixel every 4 rows.
    Canvas c(60, 60);
    for (int y = 10; y < 40; ++y) c.Fill(10, y, 20 + (y - 10) / 4, 1, 1);
    const lectavo::PointF centre{20.0f, 25.0f};
    const lectavo::PointF down = lectavo::WalkBoundary(c.search.plane, 32, 25, centre, true);
    EXPECT_EQ(down.x, 10.0f + 20 + 29 / 4);
    EXPECT_EQ(down.y, 39.0f);
    const lectavo::PointF up = lectavo::WalkBoundary(c.search.plane, 32, 25, centre, false);
    EXPECT_EQ(up.x, 30.0f);
    EXPECT_EQ(up.y, 10.0f);
}

TEST(BoundaryWalk, RoundedCornerAndBumpTiltTheSide) {
    // As on blurred photos: the bottom-left corner of the outer ring is
    // rounded (two pixels missing from the bottom row, one from the row
    // above) and the bottom side has a one-pixel bump at x 30..31.
    Canvas c(60, 60);
    c.Finder(10, 12, 4);  // x 10..37, y 12..39
    c.Fill(10, 39, 2, 1, 0);
    c.Fill(10, 38, 1, 1, 0);
    c.Fill(30, 40, 2, 1, 1);
    const lectavo::PointF centre{24.0f, 26.0f};
    // Clockwise (leftwards) the walk steps diagonally inward around the
    // rounding onto the left side and ends two rows above the bottom edge.
    const lectavo::PointF left = lectavo::WalkBoundary(c.search.plane, 24, 39, centre, true);
    EXPECT_EQ(left.x, 10.0f);
    EXPECT_EQ(left.y, 38.0f);
    // Counter-clockwise (rightwards) it moves out onto the bump and, being
    // outward of the start row, stops at the bump's end.
    const lectavo::PointF right = lectavo::WalkBoundary(c.search.plane, 24, 39, centre, false);
    EXPECT_EQ(right.x, 31.0f);
    EXPECT_EQ(right.y, 41.0f);
    // The side line through the two ends thus meets the left edge x = 10
    // about two pixels above the true corner (10, 40): the method's result.
    lectavo::PointF corner;
    ASSERT_TRUE(lectavo::IntersectLines(left, right, {10.0f, 12.0f}, {10.0f, 39.0f}, corner));
    EXPECT_FLOAT_EQ(corner.y, 38.0f);
}

TEST(IntersectLines, Cases) {
    lectavo::PointF out{-7.0f, -7.0f};
    EXPECT_FALSE(lectavo::IntersectLines({1, 0}, {1, 5}, {3, 0}, {3, 5}, out));  // both vertical
    EXPECT_FALSE(lectavo::IntersectLines({0, 0}, {2, 2}, {0, 1}, {3, 4}, out));  // parallel
    EXPECT_EQ(out.x, -7.0f);
    ASSERT_TRUE(lectavo::IntersectLines({2, 0}, {2, 9}, {0, 1}, {4, 3}, out));  // first vertical
    EXPECT_FLOAT_EQ(out.x, 2.0f);
    EXPECT_FLOAT_EQ(out.y, 2.0f);
    ASSERT_TRUE(lectavo::IntersectLines({0, 1}, {4, 3}, {2, 0}, {2, 9}, out));  // second vertical
    EXPECT_FLOAT_EQ(out.x, 2.0f);
    EXPECT_FLOAT_EQ(out.y, 2.0f);
    ASSERT_TRUE(lectavo::IntersectLines({0, 0}, {10, 0}, {5, -5}, {6, 5}, out));
    EXPECT_FLOAT_EQ(out.x, 5.5f);
    EXPECT_FLOAT_EQ(out.y, 0.0f);  // from the flat line
}

TEST(DirectionAngle, YAxisPointsUp) {
    const float pi = 3.1415927f;
    EXPECT_NEAR(lectavo::DirectionAngle(1.0f, 0.0f), 0.0f, 1e-5f);
    EXPECT_NEAR(lectavo::DirectionAngle(0.0f, -1.0f), pi / 2, 1e-5f);
    EXPECT_NEAR(lectavo::DirectionAngle(-1.0f, 0.0f), pi, 1e-5f);
    EXPECT_NEAR(lectavo::DirectionAngle(0.0f, 1.0f), 1.5f * pi, 1e-5f);
    EXPECT_NEAR(lectavo::DirectionAngle(1.0f, 1.0f), 1.75f * pi, 1e-5f);
    EXPECT_NEAR(lectavo::DirectionAngle(-1.0f, -1.0f), 0.75f * pi, 1e-5f);
}

}  // namespace
