// The alignment grid of versions 7-40: every track anchored on the module
// centres of an ideal rendering, all nine tracks in use for version 40, and
// refinement that follows a displaced alignment pattern.
#include <gtest/gtest.h>

#include <memory>
#include <sstream>

#include "common/qr_tables.h"
#include "core/geometry.h"
#include "sample/module_sampling.h"
#include "reading_fixture.h"

namespace {

using lectavo::PointF;

struct Rendered {
    testpics::Matrix m;
    testpics::Picture picture;
    readfix::Placement place;
    std::unique_ptr<testsearch::Search> search = std::make_unique<testsearch::Search>();
    lectavo::LocatedSymbol candidate;
    int anchors[lectavo::kMaxTracks] = {};
    int anchorCount = 0;

    Rendered(int version, int px, int turns) {
        m = testpics::FromQrencode(readfix::Text(version), version, 0);
        picture = testpics::Render(m, px, 4, turns, 1, 0);
        place = readfix::Affine(m.side, static_cast<float>(px), 4, turns);
        Attach();
    }
    void Attach() {
        search->plane.pixels = picture.pixels.data();
        search->plane.width = picture.width;
        search->plane.height = picture.height;
        search->finders.clear();
        search->candidates.clear();
        candidate = readfix::AddCandidate(*search, m, place);
    }
    void Place() { anchorCount = lectavo::PlaceSymbolTracks(search->plane, search->reading, candidate, anchors); }

    // Track coordinate of track k: the anchor, the last track on S - 1.
    int TrackLine(int k) const { return k == anchorCount - 1 ? m.side - 1 : anchors[k]; }

    // Largest distance of any track point from its module centre.
    float WorstTrackError() const {
        float worst = 0.0f;
        for (int k = 0; k < anchorCount; ++k)
            for (int i = 0; i < m.side; ++i) {
                const float line = TrackLine(k) + 0.5f, at = i + 0.5f;
                worst = std::max(worst, lectavo::Distance(search->reading.rowTrack[k][i], place.forward({at, line})));
                worst =
                    std::max(worst, lectavo::Distance(search->reading.columnTrack[k][i], place.forward({line, at})));
            }
        return worst;
    }
};

TEST(AlignmentGrid, Version7TracksRunThroughRows0_6_22_38AndTheLastRow) {
    for (int turns = 0; turns < 4; ++turns) {
        Rendered r(7, 5, turns);
        r.Place();
        ASSERT_EQ(r.anchorCount, 5);
        const int expected[5] = {0, 6, 22, 38, 45};
        for (int k = 0; k < 5; ++k) EXPECT_EQ(r.anchors[k], expected[k]);
        EXPECT_LT(r.WorstTrackError(), 0.01f) << turns << " turns";
        // Upright, the bottom-right corner field is the symbol's outer corner.
        if (turns != 0) continue;
        const PointF corner = r.place.forward({45.0f, 45.0f});
        EXPECT_NEAR(r.search->reading.bottomRight[0], corner.x, 1.0f);
        EXPECT_NEAR(r.search->reading.bottomRight[1], corner.y, 1.0f);
    }
}

TEST(AlignmentGrid, EveryVersionLandsOnTheModuleCentres) {
    for (int version = 7; version <= 40; ++version) {
        Rendered r(version, 3, version % 4);
        r.Place();
        EXPECT_EQ(r.anchorCount, qrcommon::kAlignment[version].count + 2);
        EXPECT_LT(r.WorstTrackError(), 0.01f) << "version " << version;
    }
}

TEST(AlignmentGrid, Version40UsesAllNineTracks) {
    Rendered r(40, 2, 1);
    r.Place();
    ASSERT_EQ(r.anchorCount, lectavo::kMaxTracks);
    EXPECT_EQ(r.anchors[8], 177);
    EXPECT_LT(r.WorstTrackError(), 0.01f);
    const PointF lastRow = r.place.forward({100.5f, 176.5f});
    EXPECT_NEAR(r.search->reading.rowTrack[8][100].x, lastRow.x, 0.01f);
    EXPECT_NEAR(r.search->reading.rowTrack[8][100].y, lastRow.y, 0.01f);
}

// Version 14 (alignment coordinates 6, 26, 46, 66) with the interior pattern
// at (46, 46) drawn two pixels further right: the refined centre moves the
// tracks through it, while its neighbours stay on the ideal grid.
TEST(AlignmentGrid, FollowsADisplacedInteriorAlignmentPattern) {
    Rendered r(14, 6, 0);
    const int width = r.picture.width;
    for (int y = (4 + 44) * 6; y < (4 + 49) * 6; ++y) {
        uint8_t* row = &r.picture.pixels[static_cast<size_t>(y) * width];
        for (int x = (4 + 49) * 6 + 1; x >= (4 + 44) * 6 + 2; --x) row[x] = row[x - 2];
        row[(4 + 44) * 6] = row[(4 + 44) * 6 + 1] = 0;
    }
    r.Attach();
    r.Place();
    const PointF ideal = r.place.forward({46.5f, 46.5f});
    EXPECT_FLOAT_EQ(r.search->reading.rowTrack[3][46].x, ideal.x + 2.0f);
    EXPECT_FLOAT_EQ(r.search->reading.columnTrack[3][46].x, ideal.x + 2.0f);
    EXPECT_FLOAT_EQ(r.search->reading.rowTrack[3][46].y, ideal.y);
    const PointF neighbour = r.place.forward({26.5f, 46.5f});
    EXPECT_NEAR(r.search->reading.rowTrack[3][26].x, neighbour.x, 0.01f);
}

}  // namespace
