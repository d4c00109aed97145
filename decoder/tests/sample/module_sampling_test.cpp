// Sampling of located symbols: the function-module map, the sampled data
// modules of rendered symbols (every version, module sizes 2-10, four
// quarter turns, mild stretch and shear), alignment-centre refinement and
// the order of the bottom-right corner tries.
#include <gtest/gtest.h>

#include <cmath>
#include <limits>
#include <random>
#include <sstream>
#include <vector>

#include "common/qr_tables.h"
#include "encode_symbol.h"
#include "own_symbols.h"
#include "core/geometry.h"
#include "decode/codewords.h"
#include "sample/module_sampling.h"
#include "sample/symbol_reading.h"
#include "symbol_trial.h"
#include "reading_fixture.h"

namespace {

using lectavo::PointF;

// Data modules of a symbol: 8 per codeword plus the remainder bits.
int DataModules(int version) {
    static const int kRemainder[41] = {0, 0, 7, 7, 7, 7, 7, 0, 0, 0, 0, 0, 0, 0, 3, 3, 3, 3, 3, 3, 3,
                                       4, 4, 4, 4, 4, 4, 4, 3, 3, 3, 3, 3, 3, 3, 0, 0, 0, 0, 0, 0};
    return 8 * qrcommon::kTotalCodewords[version] + kRemainder[version];
}

TEST(FunctionModules, LeaveExactlyTheDataModulesOfEveryVersion) {
    auto map = std::make_unique<qrcommon::FunctionMap>();
    for (int version = 1; version <= 40; ++version) {
        map->bits.fill(~uint64_t{0});  // left over from a larger version
        qrcommon::BuildFunctionMap(version, *map);
        const int side = 4 * version + 17;
        ASSERT_EQ(map->side, side);
        int data = 0;
        for (int r = 0; r < side; ++r)
            for (int c = 0; c < side; ++c) data += map->IsFunction(r, c) ? 0 : 1;
        EXPECT_EQ(data, DataModules(version)) << "version " << version;
    }
}

// Places the candidate's tracks, samples, and lists the data modules that
// differ from the matrix ("" when all agree).
std::string SampleAndCompare(testsearch::Search& search, const testpics::Matrix& m,
                             const readfix::Placement& placement) {
    search.finders.clear();
    search.candidates.clear();
    const lectavo::LocatedSymbol c = readfix::AddCandidate(search, m, placement);
    int anchors[lectavo::kMaxTracks];
    const int count = lectavo::PlaceSymbolTracks(search.plane, search.reading, c, anchors);
    if (count == 0) return "degenerate geometry";
    lectavo::SymbolReading& work = *search.work;
    qrcommon::BuildFunctionMap(c.version, work.functions);
    work.grid.side = m.side;
    lectavo::MakeTrackLines(search.reading, anchors, count, work.lines);
    lectavo::SampleModules(search.plane, work.lines, work.functions, work.grid);
    int wrong = 0;
    std::ostringstream first;
    for (int x = 0; x < m.side; ++x)
        for (int y = 0; y < m.side; ++y) {
            if (work.functions.IsFunction(y, x)) continue;
            if (work.grid.At(y, x) != (m.At(y, x) ? 1 : 0) && wrong++ == 0)
                first << " first at (" << x << ", " << y << ")";
        }
    if (wrong == 0) return "";
    std::ostringstream out;
    out << wrong << " wrong modules" << first.str();
    return out.str();
}

TEST(SampledGrid, EqualsRenderedModulesForEveryVersionSizeAndTurn) {
    auto search = std::make_unique<testsearch::Search>();
    constexpr int kQuiet = 4;
    for (int version = 1; version <= 40; ++version) {
        const testpics::Matrix m = testpics::FromQrencode(readfix::Text(version), version, version % 4);
        ASSERT_EQ(m.side, 4 * version + 17);
        for (int px = 2; px <= 10; ++px)
            for (int turns = 0; turns < 4; ++turns) {
                const testpics::Picture picture = testpics::Render(m, px, kQuiet, turns, 1, 0);
                search->plane.pixels = picture.pixels.data();
                search->plane.width = picture.width;
                search->plane.height = picture.height;
                const std::string diff =
                    SampleAndCompare(*search, m, readfix::Affine(m.side, static_cast<float>(px), kQuiet, turns));
                EXPECT_EQ(diff, "") << "version " << version << ", " << px << " px, " << turns << " turns";
            }
    }
}

TEST(SampledGrid, FollowsMildStretchAndShear) {
    auto search = std::make_unique<testsearch::Search>();
    for (int version : {10, 20, 40})
        for (float shear : {0.0f, 0.02f, -0.02f})
            for (int turns = 0; turns < 4; ++turns) {
                const testpics::Matrix m = testpics::FromQrencode(readfix::Text(version), version, 1);
                const readfix::Placement placement = readfix::Affine(m.side, 4.0f, 6, turns, 1.03f, shear);
                const int size = (m.side + 12) * 5;
                const std::vector<uint8_t> plane = readfix::RenderPlane(m, placement, size, size);
                search->plane.pixels = plane.data();
                search->plane.width = search->plane.height = size;
                EXPECT_EQ(SampleAndCompare(*search, m, placement), "")
                    << "version " << version << ", shear " << shear << ", " << turns << " turns";
            }
}

class Refinement : public ::testing::Test {
protected:
    // A version 2 symbol at 6 px per module, upright, 4 modules margin; its
    // alignment centre (18, 18) lies at pixel (135, 135).
    void SetUp() override {
        m_ = testpics::FromQrencode("refine", 2, 0);
        picture_ = testpics::Render(m_, 6, 4, 0, 1, 0);
        search_ = std::make_unique<testsearch::Search>();
        search_->plane.pixels = picture_.pixels.data();
        search_->plane.width = picture_.width;
        search_->plane.height = picture_.height;
        readfix::AddCandidate(*search_, m_, readfix::Affine(m_.side, 6.0f, 4, 0));
        search_->reading.side = m_.side;
        lectavo::SetPitchModel(search_->reading, search_->candidates[0]);
    }
    testpics::Matrix m_;
    testpics::Picture picture_;
    std::unique_ptr<testsearch::Search> search_;
};

TEST_F(Refinement, MovesAPredictionOffByAModuleOntoTheDarkCentre) {
    for (PointF start : {PointF{141.0f, 135.0f}, PointF{129.5f, 141.2f}, PointF{137.0f, 131.0f}}) {
        PointF p = start;
        lectavo::RefineAlignmentCentre(search_->plane, search_->reading, p);
        EXPECT_FLOAT_EQ(p.x, 135.0f) << start.x << ", " << start.y;
        EXPECT_FLOAT_EQ(p.y, 135.0f) << start.x << ", " << start.y;
    }
}

TEST_F(Refinement, KeepsThePredictionWhenNoCentreQualifies) {
    PointF p{15.0f, 200.0f};  // in the quiet zone, nothing dark nearby
    lectavo::RefineAlignmentCentre(search_->plane, search_->reading, p);
    EXPECT_EQ(p.x, 15.0f);
    EXPECT_EQ(p.y, 200.0f);
    p = {45.0f, 45.0f};  // a finder's centre: dark all around in every direction
    lectavo::RefineAlignmentCentre(search_->plane, search_->reading, p);
    EXPECT_EQ(p.x, 45.0f);
}

// Pixel rounding adds 0.499999 and truncates, so an exact .5 goes down at
// every coordinate a picture can have, not only where a float sum happens
// to keep the fraction.
TEST(PixelRounding, ExactHalvesRoundDownAtEveryMagnitude) {
    for (int whole : {0, 20, 31, 32, 64, 100, 1000, 4095, 20000}) {
        const float half = static_cast<float>(whole) + 0.5f;
        EXPECT_EQ(lectavo::RoundPixel(half), whole) << half;
        EXPECT_EQ(lectavo::RoundCoord(half), whole) << half;
        const float above = half + 0.01f;
        EXPECT_EQ(lectavo::RoundPixel(above), whole + 1) << above;
        EXPECT_EQ(lectavo::RoundCoord(above), whole + 1) << above;
    }
    EXPECT_EQ(lectavo::RoundPixel(-0.5f), 0);
    EXPECT_EQ(lectavo::RoundPixel(2.0e9f), 1000000000);
    EXPECT_EQ(lectavo::RoundPixel(std::numeric_limits<float>::quiet_NaN()), -1000000000);
}

TEST(CornerTries, StartUnperturbedThenWalkHalfModulesAlongVInsideU) {
    auto search = std::make_unique<testsearch::Search>();
    lectavo::ReadingArea& area = search->reading;
    area.side = 21;
    area.u = {2.0f, 0.0f};
    area.v = {0.0f, 3.0f};
    area.rowTrack[1][20] = area.columnTrack[1][20] = {100.0f, 200.0f};
    std::vector<PointF> tried;
    const bool found = lectavo::TryBottomRightOffsets(area, [&] {
        tried.push_back(area.rowTrack[1][20]);
        EXPECT_EQ(area.columnTrack[1][20].x, area.rowTrack[1][20].x);
        return false;
    });
    EXPECT_FALSE(found);
    ASSERT_EQ(tried.size(), 81u);
    EXPECT_EQ(tried[0].x, 100.0f);
    EXPECT_EQ(tried[1].y, 201.5f);  // (0, 0.5): half a module along v
    EXPECT_EQ(tried[2].y, 198.5f);
    EXPECT_EQ(tried[8].y, 194.0f);  // (0, -2)
    EXPECT_EQ(tried[9].x, 101.0f);  // (0.5, 0)
    EXPECT_EQ(tried[80].x, 96.0f);  // (-2, -2)
    EXPECT_EQ(tried[80].y, 194.0f);

    int calls = 0;
    EXPECT_TRUE(lectavo::TryBottomRightOffsets(area, [&] { return ++calls == 4; }));
    EXPECT_EQ(calls, 4);
}

TEST(SampledGrid, DegenerateLinesReadAsLight) {
    auto search = std::make_unique<testsearch::Search>();
    std::vector<uint8_t> dark(100 * 100, 1);
    search->plane.pixels = dark.data();
    search->plane.width = search->plane.height = 100;
    lectavo::ReadingArea& area = search->reading;
    area.side = 21;
    for (int k = 0; k < 2; ++k)
        for (int i = 0; i < 21; ++i) area.rowTrack[k][i] = area.columnTrack[k][i] = {50.0f, 10.0f + i};
    lectavo::SymbolReading& work = *search->work;
    qrcommon::BuildFunctionMap(1, work.functions);
    work.grid.side = 21;
    work.grid.At(10, 10) = 1;
    const int anchors[2] = {0, 21};
    lectavo::MakeTrackLines(area, anchors, 2, work.lines);
    lectavo::SampleModules(search->plane, work.lines, work.functions, work.grid);
    EXPECT_EQ(work.grid.At(10, 10), 0);  // both lines vertical
}

// The module at (y, x) as the sampler is meant to read it: the crossing of
// its two lines by IntersectLines, truncated to a pixel, light outside.
uint8_t ReferenceModule(const lectavo::BinaryPlane& plane, const lectavo::TrackLines& lines, int y, int x) {
    const lectavo::Line row = lines.row[lines.band[y]].Get(x), column = lines.column[lines.band[x]].Get(y);
    lectavo::PointF p;
    if (!lectavo::IntersectLines(row, column, p)) return 0;
    return plane.Pixel(lectavo::TruncPixel(p.x), lectavo::TruncPixel(p.y)) != 0 ? 1 : 0;
}

// Lines of every kind the sampler must tell apart: vertical row or column
// lines, parallel pairs, crossings inside, beside and far outside the plane.
TEST(SampledGrid, WholeGridAndFirstBlockReadEveryCrossingAsOneModuleAtATime) {
    std::mt19937 random(7);
    std::vector<uint8_t> pixels(61 * 47);
    for (uint8_t& p : pixels) p = static_cast<uint8_t>(random() % 2);
    const lectavo::BinaryPlane plane{pixels.data(), 61, 47};
    std::uniform_real_distribution<float> slope(-3.0f, 3.0f), offset(-60.0f, 110.0f);
    const auto randomLine = [&] {
        lectavo::Line line;
        switch (random() % 5) {
            case 0:
                line.vertical = true;
                line.at = offset(random);
                break;
            case 1:  // parallel to most column lines below
                line.slope = 0.5f;
                line.offset = offset(random);
                break;
            default:
                line.slope = slope(random);
                line.offset = offset(random);
        }
        return line;
    };
    auto lines = std::make_unique<lectavo::TrackLines>();
    auto functions = std::make_unique<qrcommon::FunctionMap>();
    auto grid = std::make_unique<lectavo::SampledGrid>();
    for (const int version : {2, 5, 7, 14}) {
        int anchors[lectavo::kMaxTracks];
        const int count = lectavo::AnchorList(version, anchors);
        const int side = qrcommon::SymbolSide(version);
        for (int b = 0; b + 1 < count; ++b) {
            for (int v = anchors[b]; v < anchors[b + 1]; ++v) lines->band[v] = static_cast<uint8_t>(b);
            for (int v = 0; v < side; ++v) {
                lines->row[b].Set(v, randomLine());
                lectavo::Line column = randomLine();
                // Parallel to the row lines above, or level (a vertical
                // row line's slope field is 0).
                if (!column.vertical && random() % 3 == 0) column.slope = random() % 2 ? 0.5f : 0.0f;
                lines->column[b].Set(v, column);
            }
        }
        qrcommon::BuildFunctionMap(version, *functions);
        grid->side = side;
        lectavo::SampleModules(plane, *lines, *functions, *grid);
        int differing = 0;
        for (int y = 0; y < side; ++y)
            for (int x = 0; x < side; ++x) {
                const uint8_t expected = functions->IsFunction(y, x) ? 0 : ReferenceModule(plane, *lines, y, x);
                differing += grid->At(y, x) != expected;
            }
        EXPECT_EQ(differing, 0) << "version " << version;

        grid->modules.fill(2);
        const std::vector<uint16_t>& block = lectavo::FirstBlockModules(version, 3);
        lectavo::SampleModuleList(plane, *lines, block, *grid);
        differing = 0;
        for (const uint16_t index : block)
            differing += grid->modules[index] != ReferenceModule(plane, *lines, index / side, index % side);
        EXPECT_EQ(differing, 0) << "version " << version;
    }
}

TEST(TrackLines, AreTheLinesThroughTheTrackPointsVerticalOnesIncluded) {
    std::mt19937 random(11);
    std::uniform_real_distribution<float> coordinate(-20.0f, 200.0f);
    auto area = std::make_unique<lectavo::ReadingArea>();
    auto lines = std::make_unique<lectavo::TrackLines>();
    area->side = qrcommon::SymbolSide(7);
    int anchors[lectavo::kMaxTracks];
    const int count = lectavo::AnchorList(7, anchors);
    for (int k = 0; k < count; ++k)
        for (int v = 0; v < area->side; ++v) {
            area->rowTrack[k][v] = {coordinate(random), coordinate(random)};
            area->columnTrack[k][v] = {coordinate(random), coordinate(random)};
            if (k > 0 && random() % 4 == 0) area->rowTrack[k][v].x = area->rowTrack[k - 1][v].x;
            if (k > 0 && random() % 4 == 0) area->columnTrack[k][v].x = area->columnTrack[k - 1][v].x;
        }
    lectavo::MakeTrackLines(*area, anchors, count, *lines);
    const auto same = [](const lectavo::Line& a, const lectavo::Line& b) {
        return a.vertical == b.vertical && a.slope == b.slope && a.offset == b.offset && a.at == b.at;
    };
    int differing = 0;
    for (int b = 0; b + 1 < count; ++b)
        for (int v = 0; v < area->side; ++v) {
            differing +=
                !same(lines->row[b].Get(v), lectavo::LineThrough(area->rowTrack[b][v], area->rowTrack[b + 1][v]));
            differing += !same(lines->column[b].Get(v),
                               lectavo::LineThrough(area->columnTrack[b][v], area->columnTrack[b + 1][v]));
        }
    EXPECT_EQ(differing, 0);
}

TEST(ReadSymbol, HostileGeometryFailsWithoutCrashing) {
    auto search = std::make_unique<testsearch::Search>();
    std::vector<uint8_t> plane(64 * 64, 1);
    search->plane.pixels = plane.data();
    search->plane.width = search->plane.height = 64;
    const float nan = std::numeric_limits<float>::quiet_NaN();
    for (float value : {nan, 3.0e38f, -3.0e38f, 0.0f})
        for (int version : {1, 4, 7, 40}) {
            lectavo::LocatedSymbol c;
            for (int k = 0; k < 12; ++k) c.corners[k] = {value * (k % 3), value * (k % 2)};
            c.version = version;
            lectavo::DecodedData data;
            const lectavo::GridTrial trial = [&](const lectavo::SampledGrid& grid) {
                return lectavo::DecodeGridTrial(grid, {}, data);
            };
            EXPECT_NE(lectavo::ReadSymbol(search->plane, c, *search->work, lectavo::DecodingFirstBlockCheck(), trial),
                      lectavo::TrialStatus::kRead);
        }
}

}  // namespace

namespace {

// A keystone view: the right edge 8 % shorter than the left one, and a
// slight tilt; the pitch then grows along rows and columns. (Versions 2-6
// place their bottom-right corner by extrapolating past the alignment
// pattern and miss a few modules there at the first try; the reading tests
// cover how the corner tries recover them.)
TEST(SampledGrid, FollowsMildPerspective) {
    auto search = std::make_unique<testsearch::Search>();
    for (int version : {1, 7, 10, 20, 40})
        for (int turns = 0; turns < 4; ++turns) {
            const testpics::Matrix m = testpics::FromQrencode(readfix::Text(version), version, 2);
            const float w = 5.0f * static_cast<float>(m.side);
            PointF quad[4] = {{30, 30}, {30 + w, 30 + 0.04f * w}, {30 + 1.01f * w, 30 + 0.96f * w}, {30, 30 + w}};
            PointF turned[4];
            for (int k = 0; k < 4; ++k) turned[k] = quad[(k + turns) % 4];
            const readfix::Placement placement = readfix::Perspective(m.side, turned);
            const int size = static_cast<int>(w * 1.05f) + 60;
            const std::vector<uint8_t> plane = readfix::RenderPlane(m, placement, size, size);
            search->plane.pixels = plane.data();
            search->plane.width = search->plane.height = size;
            EXPECT_EQ(SampleAndCompare(*search, m, placement), "")
                << "version " << version << ", " << turns << " turns";
        }
}

}  // namespace

namespace {

// Symbols of this project's own encoder, every mask, sampled upright and
// turned.
TEST(SampledGrid, EqualsOurEncodersModulesForEveryMask) {
    auto search = std::make_unique<testsearch::Search>();
    auto settings = std::make_unique<mosaire::EncoderSettings>();
    for (int version : {1, 3, 7, 21, 40})
        for (int mask = 0; mask < 8; ++mask) {
            *settings = mosaire::EncoderSettings{};
            const std::string text = "own " + std::to_string(version) + "/" + std::to_string(mask);
            text.copy(settings->message, text.size());
            settings->version = static_cast<int16_t>(version);
            settings->ecLevel = static_cast<int16_t>(mask % 4);
            settings->maskSetting = static_cast<int16_t>(mask + 1);
            const mosaire::EncodedSymbol encoded = mosaire::EncodeSymbol(*settings);
            const mosaire::ModuleMatrix* symbol = encoded.matrix.get();
            ASSERT_TRUE(symbol);
            const testpics::Matrix m = testpics::FromModuleMatrix(*symbol);
            const int turns = mask % 4, px = 2 + mask;
            const testpics::Picture picture = testpics::Render(m, px, 4, turns, 1, 0);
            search->plane.pixels = picture.pixels.data();
            search->plane.width = picture.width;
            search->plane.height = picture.height;
            EXPECT_EQ(SampleAndCompare(*search, m, readfix::Affine(m.side, static_cast<float>(px), 4, turns)), "")
                << "version " << version << ", mask " << mask;
        }
}

}  // namespace
