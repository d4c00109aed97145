// The photo reader on generated photo-like pictures: the grids it hands over
// must equal the encoder's modules.
#include "photo/photo_stage.h"

#include <gtest/gtest.h>

#include <cmath>
#include <random>
#include <string>
#include <vector>

#include "crafted_pictures.h"
#include "decode/grid_format.h"
#include "photo/adaptive_binarizer.h"
#include "photo/finder_grouping.h"
#include "photo/grid_sampler.h"
#include "symbol_trial.h"
#include "warped_symbols.h"

namespace {

using lectavo::Quad;
using lectavo::SampledGrid;
using lectavo::photo::RunPhotoStage;

int Mismatches(const SampledGrid& grid, const warped::Symbol& symbol) {
    if (grid.side != symbol.side) return symbol.side * symbol.side;
    int bad = 0;
    for (int r = 0; r < grid.side; ++r)
        for (int c = 0; c < grid.side; ++c) bad += grid.At(r, c) != symbol.At(r, c);
    return bad;
}

// Runs the stage; a grid "decodes" when it is within `tolerance` modules of
// one of `symbols`. Returns which symbols were read, in order.
std::vector<int> Read(const warped::Grey& picture, const std::vector<warped::Symbol>& symbols, int limit = 1,
                      int tolerance = 0, std::vector<Quad>* quads = nullptr) {
    std::vector<int> read;
    RunPhotoStage({picture.pixels.data(), picture.width, picture.height}, limit,
                  [&](const SampledGrid& grid, const Quad& quad) {
                      for (size_t i = 0; i < symbols.size(); ++i)
                          if (Mismatches(grid, symbols[i]) <= tolerance) {
                              read.push_back(static_cast<int>(i));
                              if (quads) quads->push_back(quad);
                              return true;
                          }
                      return false;
                  });
    return read;
}

TEST(PhotoStage, ReadsPerspectiveAtAnyAngle) {
    for (int version : {1, 2, 7, 15, 27}) {
        const auto symbol = warped::Encode("perspective " + std::to_string(version), version);
        ASSERT_EQ(symbol.side, 17 + 4 * version);
        for (float degrees : {0.0f, 33.0f, 135.0f, 260.0f}) {
            const float size = symbol.side * 5.0f;
            auto picture = warped::Blank(static_cast<int>(size * 1.6f), static_cast<int>(size * 1.6f));
            const auto at = warped::Place(size * 0.8f, size * 0.8f, size, degrees, 0.15f);
            warped::Draw(picture, symbol, at);
            std::vector<Quad> quads;
            EXPECT_EQ(Read(picture, {symbol}, 1, 0, &quads), std::vector<int>{0}) << version << " " << degrees;
            if (quads.empty()) continue;
            for (int i = 0; i < 4; ++i) {
                EXPECT_NEAR(quads[0].x[i], at.x[i], 5.0f) << version << " " << degrees << " corner " << i;
                EXPECT_NEAR(quads[0].y[i], at.y[i], 5.0f) << version << " " << degrees << " corner " << i;
            }
        }
    }
}

// Without an alignment pattern, a version 1 symbol seen steeply at a slant
// has only its finders to place the far corner.
TEST(PhotoStage, ReadsVersionOneAtAStrongSlant) {
    const auto symbol = warped::Encode("slant", 1, 1);
    const float size = symbol.side * 7.0f;
    int read = 0, tried = 0;
    for (float keystone : {0.1f, 0.2f})
        for (float degrees = 0; degrees < 360; degrees += 15) {
            auto picture = warped::Blank(static_cast<int>(size * 1.6f), static_cast<int>(size * 1.6f));
            warped::Draw(picture, symbol, warped::Place(size * 0.8f, size * 0.8f, size, degrees, keystone));
            ++tried;
            read += Read(picture, {symbol}) == std::vector<int>{0};
        }
    EXPECT_EQ(read, tried);
}

// A symbol seen steeply from the side: squeezed to about half its width,
// sheared and turned. Its finders are up to four times taller than wide, and
// a leg between two of them can look longer than the diagonal.
TEST(PhotoStage, ReadsSymbolsSeenSteeplyFromTheSide) {
    struct View {
        float squeeze, shear;
    };
    for (int version : {2, 7}) {
        const auto symbol = warped::Encode("seen from the side", version);
        const float size = symbol.side * 8.0f;
        for (const View view : {View{0.55f, 0.0f}, View{0.55f, 0.6f}, View{0.5f, 0.3f}})
            for (float degrees = 0; degrees < 360; degrees += 30) {
                auto picture = warped::Blank(static_cast<int>(size * 1.8f), static_cast<int>(size * 1.8f));
                const float ux[4] = {-0.5f, 0.5f, 0.5f, -0.5f}, uy[4] = {-0.5f, -0.5f, 0.5f, 0.5f};
                const float a = degrees * 3.14159265f / 180, c = std::cos(a), s = std::sin(a);
                warped::Placement at;
                for (int i = 0; i < 4; ++i) {
                    // The far side a little shorter, as a camera sees it.
                    const float x = (ux[i] + view.shear * uy[i]) * size * view.squeeze;
                    const float y = uy[i] * size * (0.925f - 0.15f * ux[i]);
                    at.x[i] = size * 0.9f + c * x - s * y;
                    at.y[i] = size * 0.9f + s * x + c * y;
                }
                warped::Draw(picture, symbol, at);
                EXPECT_EQ(Read(picture, {symbol}), std::vector<int>{0})
                    << version << " " << view.squeeze << " " << view.shear << " " << degrees;
            }
    }
}

TEST(PhotoStage, ReadsInvertedMirroredShadedAndSmallSymbols) {
    const auto symbol = warped::Encode("looks", 4);
    struct Case {
        const char* name;
        warped::Look look;
        float modulePx;
        int tolerance;
    };
    const Case cases[] = {
        {"inverted", {true, false, 0, 0}, 4, 0},
        {"mirrored", {false, true, 0, 0}, 4, 0},
        {"inverted and mirrored", {true, true, 0, 0}, 4, 0},
        {"shadow", {false, false, 0.75f, 0}, 4, 0},
        {"blur", {false, false, 0, 2}, 6, 4},
        {"two-pixel modules", {false, false, 0, 0}, 2, 8},
        {"small picture, read enlarged", {false, false, 0, 0}, 1.5f, 8},
    };
    for (const Case& c : cases) {
        const float size = symbol.side * c.modulePx;
        auto picture = warped::Blank(static_cast<int>(size * 2), static_cast<int>(size * 2));
        warped::Draw(picture, symbol, warped::Place(size, size, size, 20, 0.05f), c.look);
        EXPECT_EQ(Read(picture, {symbol}, 1, c.tolerance), std::vector<int>{0}) << c.name;
    }
}

// A bent sheet is no homography: large versions are read by following their
// alignment patterns region by region, versions with one alignment pattern
// after the map is corrected module by module.
TEST(PhotoStage, ReadsSymbolsOnABentSheet) {
    struct Case {
        int version;
        float modulePx;
        warped::Look look;
    };
    const Case cases[] = {
        {10, 4, {false, false, 0, 0, 6}},
        {25, 4, {false, false, 0, 0, 6}},
        {4, 5, {false, false, 0, 1, 4}},
        {5, 5, {false, false, 0, 1, 4}},
    };
    for (const Case& c : cases) {
        const auto symbol = warped::Encode("bent " + std::to_string(c.version), c.version);
        const float size = symbol.side * c.modulePx;
        auto picture = warped::Blank(static_cast<int>(size * 1.5f), static_cast<int>(size * 1.5f));
        warped::Draw(picture, symbol, warped::Place(size * 0.75f, size * 0.7f, size, 5), c.look);
        EXPECT_EQ(Read(picture, {symbol}), std::vector<int>{0}) << c.version;
    }
}

// A large photo: found on the reduced copy, read once.
TEST(PhotoStage, ReadsLargePhotoWithLargeModules) {
    const auto symbol = warped::Encode("large photo", 5);
    auto picture = warped::Blank(2400, 1800, 170);
    warped::Draw(picture, symbol, warped::Place(1300, 900, 37 * 30.0f, -12, 0.1f));
    EXPECT_EQ(Read(picture, {symbol}, 32), std::vector<int>{0});
}

TEST(PhotoStage, ReadsSeveralSymbolsEachOnceUpToTheLimit) {
    std::vector<warped::Symbol> symbols;
    auto picture = warped::Blank(900, 700);
    for (int i = 0; i < 4; ++i) {
        symbols.push_back(warped::Encode("symbol " + std::to_string(i), 2 + i));
        warped::Draw(picture, symbols.back(),
                     warped::Place(220.0f + 440 * (i % 2), 180.0f + 340 * (i / 2), 200, 15.0f * i));
    }
    auto all = Read(picture, symbols, 32);
    std::sort(all.begin(), all.end());
    EXPECT_EQ(all, (std::vector<int>{0, 1, 2, 3}));
    EXPECT_EQ(Read(picture, symbols, 2).size(), 2u);
}

// A glare patch clipped to white over one finder: the symbol is read from
// the other two, at any turn.
TEST(PhotoStage, ReadsASymbolWithOneFinderUnderGlare) {
    const auto symbol = warped::Encode("glare over a finder", 3);
    // The glare lies over the bottom-left or the top-left finder, on a
    // symbol seen square or at a slant (its far side shrunk by a quarter),
    // where the lost finder is not where a right angle puts it.
    for (float keystone : {0.0f, 0.12f})
        for (int corner : {3, 0})
            for (float degrees : {0.0f, 25.0f, 200.0f}) {
                const float size = symbol.side * 8.0f;
                auto picture = warped::Blank(static_cast<int>(size * 1.6f), static_cast<int>(size * 1.6f));
                const auto at = warped::Place(size * 0.8f, size * 0.8f, size, degrees, keystone);
                warped::Draw(picture, symbol, at);
                // A finder's centre lies 3.5 modules in from its corner along both sides.
                const int next = corner == 3 ? 2 : 1, other = corner == 3 ? 0 : 3;
                const float m = 3.5f / symbol.side;
                const float fx = at.x[corner] + (at.x[next] - at.x[corner]) * m + (at.x[other] - at.x[corner]) * m;
                const float fy = at.y[corner] + (at.y[next] - at.y[corner]) * m + (at.y[other] - at.y[corner]) * m;
                const float radius = 4.5f * 6.0f;
                for (int y = 0; y < picture.height; ++y)
                    for (int x = 0; x < picture.width; ++x)
                        if (std::hypot(x - fx, y - fy) < radius)
                            picture.pixels[static_cast<size_t>(y) * picture.width + x] = 255;
                EXPECT_EQ(Read(picture, {symbol}, 1, 60), std::vector<int>{0})
                    << "keystone " << keystone << " corner " << corner << " at " << degrees;
            }
}

// A sheet of 48 small symbols (144 finders, more than 32 symbols) under a
// light gradient: every one is read when every one is wanted.
TEST(PhotoStage, ReadsEverySymbolOfAFullSheet) {
    std::vector<warped::Symbol> symbols;
    auto picture = warped::Blank(1260, 960);
    for (int i = 0; i < 48; ++i) {
        symbols.push_back(warped::Encode("sheet " + std::to_string(i), 1));
        // The last one darkens the whole sheet from left to right.
        const warped::Look look{false, false, i == 47 ? 0.35f : 0.0f};
        warped::Draw(picture, symbols.back(),
                     warped::Place(80.0f + 157 * (i % 8), 80.0f + 160 * (i / 8), 84, 5.0f * (i % 5) - 10), look);
    }
    auto all = Read(picture, symbols, 64);
    std::sort(all.begin(), all.end());
    std::vector<int> every(48);
    for (int i = 0; i < 48; ++i) every[i] = i;
    EXPECT_EQ(all, every);
}

// Finders of a sheet of symbols in rows and columns: a finder of each of
// three symbols in a row or column makes as perfect a right angle as the
// three of one symbol, but has another symbol's finder between two of its
// own. Each symbol's own triple comes before those (only the compact triples
// of three neighbouring symbols, one per corner where four meet, may come
// between).
TEST(FinderGrouping, PutsEachSymbolsOwnTripleBeforeTriplesAcrossASheet) {
    const float module = 4, pitch = 32 * module;  // 21-module symbols, 11 modules apart
    std::vector<lectavo::photo::FinderCandidate> finders;
    for (int row = 0; row < 5; ++row)
        for (int column = 0; column < 6; ++column) {
            const float x = 50 + column * pitch + 3.5f * module, y = 50 + row * pitch + 3.5f * module;
            for (const auto& [dx, dy] : {std::pair{0, 0}, {14, 0}, {0, 14}})
                finders.push_back({{x + dx * module, y + dy * module}, module, 5, module, module});
        }
    const auto triples = lectavo::photo::GroupFinders(finders);
    int own = 0;
    for (size_t i = 0; i < triples.size() && i < 30 + 4 * 5; ++i) {
        const auto& t = triples[i];
        own += t.topLeft % 3 == 0 && t.topRight == t.topLeft + 1 && t.bottomLeft == t.topLeft + 2;
    }
    EXPECT_EQ(own, 30);
}

// A symbol seen from the side, its modules nearly three times as tall as
// wide, and a dim symbol beside a light burnt out to white, which must not
// turn the paper around it dark.
TEST(PhotoStage, ReadsASymbolSeenFromTheSideAndADimOneBesideGlare) {
    const auto symbol = warped::Encode("from the side", 2);
    const float tall = symbol.side * 8.0f, wide = tall * 0.36f;
    auto side = warped::Blank(static_cast<int>(tall * 1.5f), static_cast<int>(tall * 1.5f));
    const float cx = tall * 0.75f, cy = tall * 0.75f;
    const warped::Placement slanted = {{cx - wide / 2, cx + wide / 2, cx + wide / 2, cx - wide / 2},
                                       {cy - tall / 2, cy - tall * 0.45f, cy + tall * 0.45f, cy + tall / 2}};
    warped::Draw(side, symbol, slanted);
    EXPECT_EQ(Read(side, {symbol}), std::vector<int>{0});

    const float size = symbol.side * 6.0f;
    auto dim = warped::Blank(static_cast<int>(size * 1.8f), static_cast<int>(size * 1.6f));
    const auto at = warped::Place(size * 0.9f, size * 0.9f, size, 0);
    warped::Draw(dim, symbol, at);
    for (uint8_t& p : dim.pixels) p = static_cast<uint8_t>(p / 4);
    // A bar of light along the quiet zone above the symbol.
    for (int y = static_cast<int>(at.y[0] - 16); y < static_cast<int>(at.y[0] - 6); ++y)
        for (int x = static_cast<int>(at.x[0] - 20); x < static_cast<int>(at.x[1] + 20); ++x)
            dim.pixels[static_cast<size_t>(y) * dim.width + x] = 255;
    EXPECT_EQ(Read(dim, {symbol}), std::vector<int>{0});
}

// A symbol in the shadow of a bright spot: ink at grey 12-15, paper at
// 26-29, less apart than the noise on white paper, and a disc of light burnt out to
// white beside it.
TEST(PhotoStage, ReadsASymbolInDeepShadowBesideABrightSpot) {
    const auto symbol = warped::Encode("in the shadow of a lamp", 3);
    const float size = symbol.side * 6.0f;
    auto picture = warped::Blank(static_cast<int>(size * 2.2f), static_cast<int>(size * 1.6f));
    warped::Draw(picture, symbol, warped::Place(size * 0.8f, size * 0.8f, size, 5));
    std::mt19937 noise(7);
    for (uint8_t& p : picture.pixels) p = static_cast<uint8_t>(10 + p * 16 / 225 + noise() % 4);
    const float spotX = size * 1.85f, spotY = size * 0.8f, radius = size * 0.25f;
    for (int y = 0; y < picture.height; ++y)
        for (int x = 0; x < picture.width; ++x)
            if (std::hypot(x - spotX, y - spotY) < radius)
                picture.pixels[static_cast<size_t>(y) * picture.width + x] = 255;
    EXPECT_EQ(Read(picture, {symbol}), std::vector<int>{0});
}

// Designed symbols, screens and dense symbols differ from the encoder's
// modules on purpose or by blur: they must decode through the error
// correction to their text.
TEST(PhotoStage, ReadsDesignedScreenAndDenseSymbols) {
    struct Case {
        const char* text;
        int version, level;
        float modulePx;
        warped::Look look;
    };
    warped::Look logo, dots, colours, screen, dense;
    logo.logo = 0.3f;
    dots.dots = 0.4f;
    colours.ink = 90, colours.paper = 170;
    screen.screenPitch = 2.7f, screen.blurRadius = 1;
    dense.blurRadius = 1;
    const Case cases[] = {
        {"a logo over the middle", 6, 3, 5, logo},        {"round modules", 4, 1, 6, dots},
        {"colours seen in grey", 4, 1, 5, colours},       {"a phone screen", 5, 1, 8, screen},
        {"version 25 at 3 px a module", 25, 1, 3, dense},
    };
    for (const Case& c : cases) {
        const auto symbol = warped::Encode(c.text, c.version, c.level);
        const float size = symbol.side * c.modulePx;
        auto picture = warped::Blank(static_cast<int>(size * 1.6f), static_cast<int>(size * 1.6f));
        warped::Draw(picture, symbol, warped::Place(size * 0.8f, size * 0.8f, size, 20, 0.1f), c.look);
        std::string read;
        RunPhotoStage({picture.pixels.data(), picture.width, picture.height}, 1,
                      [&](const SampledGrid& grid, const Quad&) {
                          lectavo::DecodedData data;
                          if (lectavo::DecodeGridTrial(grid, {}, data) != lectavo::TrialStatus::kRead) return false;
                          read.assign(reinterpret_cast<const char*>(data.bytes), static_cast<size_t>(data.length));
                          return true;
                      });
        EXPECT_EQ(read, c.text);
    }
}

// A finder pattern alone, as a 7 x 7 symbol to draw.
warped::Symbol BareFinder() {
    const auto symbol = warped::Encode("x", 1);
    warped::Symbol finder;
    finder.side = 7;
    for (int r = 0; r < 7; ++r)
        for (int c = 0; c < 7; ++c) finder.dark.push_back(symbol.At(r, c));
    return finder;
}

// Pictures without a symbol, hostile sizes and crafted patterns end without
// handing anything over.
TEST(PhotoStage, RejectsEmptyHostileAndCraftedPictures) {
    int calls = 0;
    const auto count = [&](const SampledGrid&, const Quad&) { return ++calls, false; };
    EXPECT_EQ(RunPhotoStage({nullptr, 640, 480}, 1, count), 0);
    const std::vector<uint8_t> tiny(20 * 20, 0);
    EXPECT_EQ(RunPhotoStage({tiny.data(), 20, 20}, 1, count), 0);
    EXPECT_EQ(RunPhotoStage({tiny.data(), 20, -20}, 1, count), 0);

    std::mt19937 random(7);
    auto noise = warped::Blank(640, 480);
    for (auto& p : noise.pixels) p = static_cast<uint8_t>(random());
    EXPECT_EQ(RunPhotoStage({noise.pixels.data(), 640, 480}, 1, count), 0);

    // A grid of bare finder patterns: many triples, none a symbol.
    const warped::Symbol finder = BareFinder();
    auto grid = warped::Blank(1200, 1200);
    for (int i = 0; i < 12; ++i)
        for (int j = 0; j < 12; ++j) warped::Draw(grid, finder, warped::Place(50.0f + 100 * j, 50.0f + 100 * i, 42, 0));
    calls = 0;
    EXPECT_EQ(RunPhotoStage({grid.pixels.data(), 1200, 1200}, 32, count), 0);
    EXPECT_LE(calls, 4 * 40 * 2);  // a few grids per attempt, bounded attempts per plane
}

// Texture that the row tolerance lets through (checkerboards of equal runs,
// stripes of the finder's rhythm at a slant) makes no finder candidates, so
// it costs no grouping or sampling; a finder turned 30 degrees still does.
TEST(FinderDetector, PassesOverFinderLikeTextureButNotATurnedFinder) {
    using crafted::Kind;
    for (Kind kind : {Kind::kChecker2, Kind::kChecker5, Kind::kStripesDiagonal1, Kind::kStripesDiagonal4}) {
        const crafted::Picture texture = crafted::Make(kind, 400);
        lectavo::BinaryPicture plane;
        lectavo::photo::BinarizeAdaptive({texture.pixels.data(), texture.width, texture.height}, false, plane);
        EXPECT_TRUE(lectavo::photo::DetectFinders(plane).empty()) << crafted::Name(kind);
    }
    const warped::Symbol finder = BareFinder();
    auto picture = warped::Blank(400, 400);
    warped::Draw(picture, finder, warped::Place(200, 200, 60, 30));
    lectavo::BinaryPicture plane;
    lectavo::photo::BinarizeAdaptive({picture.pixels.data(), 400, 400}, false, plane);
    EXPECT_EQ(lectavo::photo::DetectFinders(plane).size(), 1u);
}

// A scratch across the outer ring on the rows through the finder's centre:
// only the lenient search, which lets the rows beside the centre confirm,
// still sees the finder, and finds it where it is.
TEST(FinderDetector, LenientSearchFindsAFinderWhoseRingIsCutThroughItsCentre) {
    auto picture = warped::Blank(400, 400);
    warped::Draw(picture, BareFinder(), warped::Place(200, 200, 120, 0));
    lectavo::BinaryPicture plane;
    lectavo::photo::BinarizeAdaptive({picture.pixels.data(), 400, 400}, false, plane);
    const auto whole = lectavo::photo::DetectFinders(plane);
    ASSERT_EQ(whole.size(), 1u);
    const lectavo::PointF c = whole[0].centre;
    const float m = whole[0].moduleSize;
    for (int y = static_cast<int>(c.y) - 2; y <= static_cast<int>(c.y) + 2; ++y)
        for (int x = static_cast<int>(c.x - 3.5f * m) - 2; x <= static_cast<int>(c.x - 2.5f * m); ++x)
            plane.bits[static_cast<size_t>(y) * plane.width + x] = 0;
    EXPECT_TRUE(lectavo::photo::DetectFinders(plane).empty());
    lectavo::photo::FinderCandidate seen;
    ASSERT_TRUE(
        lectavo::photo::NearestFinder(lectavo::photo::DetectLenientFinders(plane), {c.x + 20, c.y - 20}, 40, m, seen));
    EXPECT_NEAR(seen.centre.x, c.x, m / 2);
    EXPECT_NEAR(seen.centre.y, c.y, m / 2);
    EXPECT_FALSE(
        lectavo::photo::NearestFinder(lectavo::photo::DetectLenientFinders(plane), {c.x + 60, c.y}, 40, m, seen));
}

// Format and version information survive up to three wrong bits per copy.
TEST(FormatReading, CorrectsUpToThreeBitErrors) {
    const auto symbol = warped::Encode("format", 7, 2);
    SampledGrid grid;
    grid.side = symbol.side;
    std::copy(symbol.dark.begin(), symbol.dark.end(), grid.modules.begin());
    const auto clean = lectavo::ReadFormat(grid);
    EXPECT_EQ(clean.level, 2);
    EXPECT_EQ(clean.distance, 0);
    // Three errors in the first copy and four in the second: the first wins.
    for (int c : {0, 2, 4}) grid.modules[8 * grid.side + c] ^= 1;
    for (int r : {grid.side - 1, grid.side - 2, grid.side - 3, grid.side - 4}) grid.modules[r * grid.side + 8] ^= 1;
    const auto damaged = lectavo::ReadFormat(grid);
    EXPECT_EQ(damaged.level, clean.level);
    EXPECT_EQ(damaged.mask, clean.mask);
    EXPECT_EQ(damaged.distance, 3);
    EXPECT_EQ(lectavo::ReadVersion(grid), 7);
    for (int r = 0; r < 3; ++r) grid.modules[r * grid.side + grid.side - 11] ^= 1;
    for (int c = 0; c < 4; ++c) grid.modules[(grid.side - 11) * grid.side + c] ^= 1;
    EXPECT_EQ(lectavo::ReadVersion(grid), 7);
}

// The line sampler maps whole lines at a time (a homography a stretch, one
// cell of the alignment grid at a time) and must read exactly the points Map
// gives, wherever the map and the line: across cells, with corrections, off
// the plane, and across the line a steep perspective sends to infinity.
TEST(ModuleMap, LinesMapAndReadExactlyAsMapPointByPoint) {
    using lectavo::PointF;
    using lectavo::photo::Homography;
    using lectavo::photo::ModuleMap;
    const PointF square[4] = {{0, 0}, {45, 0}, {45, 45}, {0, 45}};
    const PointF seen[4] = {{30, 20}, {260, 45}, {240, 250}, {15, 230}};
    const PointF crossed[4] = {{30, 20}, {260, 45}, {40, 250}, {240, 230}};  // the horizon runs through
    Homography gentle, horizon;
    ASSERT_TRUE(gentle.Fit(square, seen));
    ASSERT_TRUE(horizon.Fit(square, crossed));
    ModuleMap cells(gentle);
    const int anchors[3] = {6, 22, 38};
    PointF points[9];
    for (int i = 0; i < 3; ++i)
        for (int j = 0; j < 3; ++j) {
            const PointF p = gentle.Map(anchors[j] + 0.5f, anchors[i] + 0.5f);
            points[i * 3 + j] = {p.x + (i * 3 + j) % 4 * 0.7f, p.y - (i + j) % 3 * 0.6f};
        }
    cells.SetCells(anchors, 3, points);
    ModuleMap corrected = cells;
    PointF shifts[16];
    for (int k = 0; k < 16; ++k) shifts[k] = {0.1f * (k % 5) - 0.2f, 0.07f * (k % 3)};
    corrected.SetShifts(45, 4, shifts);
    lectavo::BinaryPicture plane;
    plane.width = 200, plane.height = 180;  // the maps reach past the plane
    plane.bits.resize(200 * 180);
    std::mt19937 random(7);
    for (auto& bit : plane.bits) bit = random() % 2;
    std::vector<float> t;
    for (float u = -3; u <= 50; u += 0.07f) t.push_back(u);
    const int n = static_cast<int>(t.size());
    std::vector<float> x(n), y(n);
    std::vector<uint8_t> bits(n);
    int beyond = 0;  // points sent far away: lines of the crossed map meet the horizon
    for (const ModuleMap& map : {ModuleMap(gentle), ModuleMap(horizon), cells, corrected})
        for (bool alongRow : {true, false})
            for (float fixed : {-1.5f, 6.5f, 22.3f, 30.0f, 44.8f}) {
                map.MapLine(t.data(), n, fixed, alongRow, x.data(), y.data());
                lectavo::photo::SampleLine(plane, map, t.data(), n, fixed, alongRow, bits.data());
                for (int k = 0; k < n; ++k) {
                    const PointF p = alongRow ? map.Map(t[k], fixed) : map.Map(fixed, t[k]);
                    ASSERT_EQ(x[k], p.x) << k;
                    ASSERT_EQ(y[k], p.y) << k;
                    ASSERT_EQ(bits[k], lectavo::photo::SampleAt(plane, p)) << k;
                    beyond += !(std::abs(p.x) < 1e5f);
                }
            }
    EXPECT_GT(beyond, 0);
}

}  // namespace
