// Module size, placement, orientations, frames and size queries of the
// drawing, checked on the raster surface with the real encoder.
#include <gtest/gtest.h>
#include <ZXing/ReadBarcode.h>

#include <memory>
#include <string>
#include <vector>

#include "drawing.h"
#include "gdi/raster_surface.h"
#include "gdi/screen.h"
#include "settings.h"

namespace {

using namespace mosaire;
using platform::RasterSurface;

constexpr uint32_t kRgbBlack = 0x000000, kRgbWhite = 0xFFFFFF;

struct Fixture {
    std::unique_ptr<EncoderSettings> s = std::make_unique<EncoderSettings>();
    Fixture() {
        SetDefault(*s);
        SetSize(*s, 500, 500);
        Appearance(*s, 0.2, 1, 0);
    }
};

// A context that only reports resolutions and records mapping-mode changes.
struct ProbeContext : platform::DeviceContext {
    int dpiX = 0, dpiY = 0;
    std::vector<int> modesSet;
    int fills = 0;
    int ResolutionX() const override { return dpiX; }
    int ResolutionY() const override { return dpiY; }
    int SetMapMode(int mode) override {
        modesSet.push_back(mode);
        return DeviceContext::SetMapMode(mode);
    }
    void FillRect(int, int, int, int, platform::ColorRef) override { ++fills; }
    void Line(int, int, int, int) override {}
};

TEST(ModuleSize, RoundsFromResolutionAndWidth) {
    EXPECT_EQ(ModulePixelsFor(96, 0.2f), 8);     // 7.56
    EXPECT_EQ(ModulePixelsFor(96, 0.07f), 3);    // 2.65
    EXPECT_EQ(ModulePixelsFor(96, 0.1f), 4);     // 3.78
    EXPECT_EQ(ModulePixelsFor(96, 0.0635f), 2);  // 2.4
    EXPECT_EQ(ModulePixelsFor(0, 0.2f), 0);
    EXPECT_EQ(ModulePixelsFor(1e9, 3e38f), INT32_MAX);
}

TEST(ModuleSize, ResolutionAxisDependsOnCallerAndOrientation) {
    ProbeContext dc;
    dc.dpiX = 100;
    dc.dpiY = 200;
    EXPECT_EQ(DrawingResolution(dc, 0, ResolutionRule::kCallerContext), 200);
    EXPECT_EQ(DrawingResolution(dc, 1, ResolutionRule::kCallerContext), 100);
    EXPECT_EQ(DrawingResolution(dc, 2, ResolutionRule::kOutputSurface), 100);
    EXPECT_EQ(DrawingResolution(dc, 3, ResolutionRule::kOutputSurface), 200);
    dc.dpiX = dc.dpiY = 0;
    EXPECT_EQ(DrawingResolution(dc, 0, ResolutionRule::kOutputSurface), 96);
    EXPECT_EQ(DrawingResolution(dc, 0, ResolutionRule::kCallerContext), 0);
}

TEST(ModuleSize, FromTheSettingsWidthAndZeroBeforeAnyWidthIsSet) {
    Fixture f;
    ProbeContext dc;
    dc.dpiX = dc.dpiY = 96;
    EXPECT_EQ(ModulePixels(*f.s, dc, ResolutionRule::kCallerContext), 8);
    f.s->moduleWidthCm = 0.0f;  // the record as loaded
    dc.dpiX = dc.dpiY = 300;
    EXPECT_EQ(ModulePixels(*f.s, dc, ResolutionRule::kCallerContext), 0);
}

TEST(Layout, CentresWithOffsetsRoundingTowardZero) {
    Fixture f;
    SymbolLayout l = MakeLayout(*f.s, 21, 8);
    EXPECT_EQ(l.edge, 168);
    EXPECT_EQ(l.offX, 166);
    EXPECT_EQ(ModulePosition(l, 0, 0).x, 166);
    EXPECT_EQ(ModulePosition(l, 0, 0).y, 166);
    EXPECT_EQ(ModulePosition(l, 20, 20).y + 8 - 1, 333);

    SetSize(*f.s, 501, 501);
    l = MakeLayout(*f.s, 21, 8);
    EXPECT_EQ(l.offX, 166);
    EXPECT_EQ(ModulePosition(l, 0, 0).x, 166);  // columns from offX
    EXPECT_EQ(ModulePosition(l, 0, 0).y, 167);  // rows from height - offY - S

    SetSize(*f.s, 500, 500);
    l = MakeLayout(*f.s, 77, 8);  // version 15
    EXPECT_EQ(l.offX, -58);
    EXPECT_EQ(l.offY, -58);
    EXPECT_EQ(ModulePosition(l, 0, 0).x, -58);
}

// Dark module at the centre of the 7 x 7 block whose top-left module is at
// pixel (x, y), with the finder's ring pattern around it.
bool FinderAt(const RasterSurface& s, int x, int y, int m) {
    auto dark = [&](int mx, int my) { return s.Pixel(x + mx * m + m / 2, y + my * m + m / 2) == kRgbBlack; };
    return dark(0, 0) && dark(6, 6) && dark(6, 0) && dark(0, 6) && !dark(1, 1) && !dark(5, 5) && dark(2, 2) &&
           dark(3, 3) && dark(4, 4) && !dark(1, 3) && !dark(3, 5);
}

std::string Decode(const RasterSurface& s) {
    std::vector<uint8_t> grey(size_t(s.Width()) * s.Height());
    for (int y = 0; y < s.Height(); ++y)
        for (int x = 0; x < s.Width(); ++x) grey[size_t(y) * s.Width() + x] = s.Pixel(x, y) & 0xFF;
    const auto r = ZXing::ReadBarcode(ZXing::ImageView(grey.data(), s.Width(), s.Height(), ZXing::ImageFormat::Lum),
                                      ZXing::DecodeHints().setFormats(ZXing::BarcodeFormat::QRCode));
    return r.isValid() ? std::string(r.bytes().begin(), r.bytes().end()) : "<none>";
}

TEST(DrawSymbol, EachOrientationPutsTheFindersWhereItsTurnTakesThem) {
    // The corner without a finder: bottom-right when upright.
    struct Case {
        int orientation;
        bool tl, tr, bl, br;
    } cases[] = {{1, true, true, true, false},
                 {0, true, true, false, true},   // quarter turn clockwise
                 {2, true, false, true, true},   // quarter turn counter-clockwise
                 {3, false, true, true, true}};  // half turn
    for (const Case& c : cases) {
        Fixture f;
        SetMessage(*f.s, "12");
        Appearance(*f.s, 0.2, c.orientation, 0);
        auto surface = RasterSurface::Create(500, 500);
        ASSERT_TRUE(DrawSymbol(*f.s, *surface, 0, 0, ResolutionRule::kOutputSurface));
        SCOPED_TRACE(c.orientation);
        const int lo = 166, hi = 166 + 14 * 8;
        EXPECT_EQ(FinderAt(*surface, lo, lo, 8), c.tl);
        EXPECT_EQ(FinderAt(*surface, hi, lo, 8), c.tr);
        EXPECT_EQ(FinderAt(*surface, lo, hi, 8), c.bl);
        EXPECT_EQ(FinderAt(*surface, hi, hi, 8), c.br);
        EXPECT_EQ(surface->Pixel(165, 250), kRgbWhite);
        EXPECT_EQ(surface->Pixel(334, 250), kRgbWhite);
        EXPECT_EQ(Decode(*surface), "12");
    }
}

TEST(DrawSymbol, UnencodableMessagePaintsNothing) {
    Fixture f;
    SetMessage(*f.s, std::string(3000, 'a').c_str());  // beyond version 40 in byte mode
    SetBackColor(*f.s, 255, 0, 0);
    Appearance(*f.s, 0.2, 1, 2);
    auto surface = RasterSurface::Create(50, 50);
    EXPECT_FALSE(DrawSymbol(*f.s, *surface, 0, 0, ResolutionRule::kOutputSurface));
    for (int y = 0; y < 50; ++y)
        for (int x = 0; x < 50; ++x) ASSERT_EQ(surface->Pixel(x, y), kRgbWhite);
}

TEST(DrawSymbol, SymbolLargerThanTargetIsCutOff) {
    Fixture f;
    SetMessage(*f.s, "12");
    Configure(*f.s, 15, 0, 0);
    auto surface = RasterSurface::Create(500, 500);
    ASSERT_TRUE(DrawSymbol(*f.s, *surface, 0, 0, ResolutionRule::kOutputSurface));
    const EncodedSymbol symbol = EncodeSymbol(*f.s);
    const ModuleMatrix* matrix = symbol.matrix.get();
    ASSERT_EQ(matrix->side, 77);
    // offX = offY = -58: pixel (x, y) shows module (row (y + 58) / 8, column (x + 58) / 8).
    for (int y = 0; y < 500; y += 3) {
        for (int x = 0; x < 500; x += 5) {
            const bool dark = matrix->value[(y + 58) / 8][(x + 58) / 8] == 1;
            ASSERT_EQ(surface->Pixel(x, y), dark ? kRgbBlack : kRgbWhite) << x << ", " << y;
        }
    }
}

std::string TopRow(const RasterSurface& s, int y) {
    std::string row;
    for (int x = 0; x < s.Width(); ++x) row += s.Pixel(x, y) == kRgbBlack ? '#' : '.';
    return row;
}

std::string Column(const RasterSurface& s, int x) {
    std::string col;
    for (int y = 0; y < s.Height(); ++y) col += s.Pixel(x, y) == kRgbBlack ? '#' : '.';
    return col;
}

TEST(Frame, DashesStretchAndAlternateAroundTheEdges) {
    auto s = RasterSurface::Create(14, 10);
    DrawFrame(*s, 0, 0, 14, 10, 1);
    // Steps 0 and 2 drawn; step 2 stretched to end at 13 (exclusive).
    EXPECT_EQ(TopRow(*s, 0), "####....#####.");
    EXPECT_EQ(TopRow(*s, 9), "####....#####.");
    // Three steps on top leave a gap first on the sides: y 4 ... 8 drawn.
    EXPECT_EQ(Column(*s, 0), "#...######");  // the last pixel is the bottom row's
    EXPECT_EQ(Column(*s, 13), "....#####.");
    EXPECT_EQ(TopRow(*s, 5), "#............#");
}

TEST(Frame, SolidFrameCoversTheFourEdges) {
    auto s = RasterSurface::Create(7, 5);
    DrawFrame(*s, 1, 1, 5, 3, 2);
    EXPECT_EQ(TopRow(*s, 0), ".......");
    EXPECT_EQ(TopRow(*s, 1), ".#####.");
    EXPECT_EQ(TopRow(*s, 2), ".#...#.");
    EXPECT_EQ(TopRow(*s, 3), ".#####.");
    EXPECT_EQ(TopRow(*s, 4), ".......");
}

TEST(Render, TextModeDuringDrawingAndPreviousModeAfterwards) {
    Fixture f;
    SetMessage(*f.s, "12");
    ProbeContext dc;
    dc.dpiX = dc.dpiY = 96;
    dc.DeviceContext::SetMapMode(8);
    Render(*f.s, dc, 0, 0);
    EXPECT_EQ(dc.modesSet, (std::vector<int>{platform::kMapModeText, 8}));
    EXPECT_GT(dc.fills, 1);

    SetMessage(*f.s, std::string(3000, 'a').c_str());
    dc.modesSet.clear();
    dc.fills = 0;
    Render(*f.s, dc, 0, 0);
    EXPECT_EQ(dc.modesSet, (std::vector<int>{platform::kMapModeText, 8}));
    EXPECT_EQ(dc.fills, 0);
}

TEST(SizeQueries, EdgeAndModuleCount) {
    Fixture f;
    SetMessage(*f.s, "12");
    EXPECT_EQ(ActualSize(*f.s, platform::ScreenContext()), 168);
    EXPECT_EQ(ActualModules(*f.s), 21);
    SetMessage(*f.s, std::string(40, 'a').c_str());  // 40 bytes need version 3 at level L
    EXPECT_EQ(ActualModules(*f.s), 29);
    SetMessage(*f.s, std::string(3000, 'a').c_str());
    EXPECT_EQ(ActualSize(*f.s, platform::ScreenContext()), 0);
    EXPECT_EQ(ActualModules(*f.s), 0);
}

}  // namespace
