// pieces: gdi
#include <gtest/gtest.h>
#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

#include "gdi/clipboard.h"
#include "gdi/dib_packing.h"
#include "gdi/emf_recorder.h"
#include "gdi/raster_surface.h"
#include "gdi/wmf_recorder.h"

namespace {

using platform::RasterSurface;

uint32_t U16(const std::vector<uint8_t>& b, size_t at) { return b[at] | b[at + 1] << 8; }
uint32_t U32(const std::vector<uint8_t>& b, size_t at) { return U16(b, at) | U16(b, at + 2) << 16; }

constexpr uint32_t kRgbBlack = 0x000000, kRgbWhite = 0xFFFFFF;

TEST(RasterSurface, RefusesSizesNoBitmapCanHave) {
    for (auto [w, h] : {std::pair{0, 10}, {10, 0}, {-1, 10}, {10, -5}, {32768, 1}, {1, 40000}, {32767, 32767}}) {
        EXPECT_EQ(RasterSurface::Create(w, h), nullptr) << w << " x " << h;
    }
    auto one = RasterSurface::Create(1, 1);
    ASSERT_NE(one, nullptr);
    EXPECT_EQ(one->Pixel(0, 0), kRgbWhite);
    EXPECT_NE(RasterSurface::Create(32767, 2), nullptr);
}

TEST(RasterSurface, FillsAreClippedAndEmptyRectanglesDrawNothing) {
    auto s = RasterSurface::Create(4, 3);
    s->FillRect(-10, -10, 2, 1, 0x0000FF);  // red as 0x00BBGGRR
    EXPECT_EQ(s->Pixel(0, 0), 0xFF0000u);
    EXPECT_EQ(s->Pixel(1, 0), 0xFF0000u);
    EXPECT_EQ(s->Pixel(2, 0), kRgbWhite);
    EXPECT_EQ(s->Pixel(0, 1), kRgbWhite);
    s->FillRect(3, 2, 1, 0, 0);  // inverted
    s->FillRect(2, 2, 2, 3, 0);  // zero width
    s->FillRect(100, 100, 200, 200, 0);
    for (int y = 1; y < 3; ++y)
        for (int x = 0; x < 4; ++x) EXPECT_EQ(s->Pixel(x, y), kRgbWhite);
    s->FillRect(INT32_MIN, INT32_MIN, INT32_MAX, INT32_MAX, 0xFF0000);  // blue
    EXPECT_EQ(s->Pixel(3, 2), 0x0000FFu);
}

TEST(RasterSurface, LinesLeaveOutTheirEndPoint) {
    auto s = RasterSurface::Create(6, 6);
    s->Line(1, 0, 4, 0);  // 1, 2, 3
    s->Line(5, 4, 5, 1);  // rows 4, 3, 2
    s->Line(0, 0, 3, 3);  // diagonal 0,0 1,1 2,2
    s->Line(-100, 5, 100, 5);
    EXPECT_EQ(s->Pixel(0, 0), kRgbBlack);
    EXPECT_EQ(s->Pixel(3, 0), kRgbBlack);
    EXPECT_EQ(s->Pixel(4, 0), kRgbWhite);
    EXPECT_EQ(s->Pixel(5, 1), kRgbWhite);
    EXPECT_EQ(s->Pixel(5, 2), kRgbBlack);
    EXPECT_EQ(s->Pixel(5, 4), kRgbBlack);
    EXPECT_EQ(s->Pixel(2, 2), kRgbBlack);
    EXPECT_EQ(s->Pixel(3, 3), kRgbWhite);
    for (int x = 0; x < 6; ++x) EXPECT_EQ(s->Pixel(x, 5), kRgbBlack);
    s->SetPenColor(0x00FF00);
    s->Line(0, 4, 2, 4);
    EXPECT_EQ(s->Pixel(1, 4), 0x00FF00u);
}

TEST(DibPacking, RowsArePaddedToFourBytes) {
    EXPECT_EQ(platform::DibRowBytes(1, 1), 4);
    EXPECT_EQ(platform::DibRowBytes(500, 1), 64);
    EXPECT_EQ(platform::DibRowBytes(500, 4), 252);
    EXPECT_EQ(platform::DibImageSize(500, 500, 4), 126000);
    EXPECT_EQ(platform::DibRowBytes(32, 1), 4);
    EXPECT_EQ(platform::DibRowBytes(33, 1), 8);
}

TEST(DibPacking, OneBitHasBlackWhiteTableAndBottomUpRows) {
    auto s = RasterSurface::Create(10, 2);
    s->FillRect(0, 0, 1, 1, 0);   // top-left black
    s->FillRect(9, 1, 10, 2, 0);  // bottom-right black
    std::vector<uint8_t> table(8), rows(8);
    platform::PackDibBits(*s, 1, table.data(), rows.data());
    EXPECT_EQ(table, (std::vector<uint8_t>{0, 0, 0, 0, 255, 255, 255, 0}));
    // First stored row is the bottom one: white except the last pixel.
    EXPECT_EQ(rows[0], 0xFF);
    EXPECT_EQ(rows[1], 0x80);  // pixel 8 white, pixel 9 black, padding zero
    EXPECT_EQ(rows[2], 0);
    EXPECT_EQ(rows[4], 0x7F);
    EXPECT_EQ(rows[5], 0xC0);
}

TEST(DibPacking, FourBitPicksNearestStandardColour) {
    const auto& pal = platform::StandardPalette();
    EXPECT_EQ(platform::NearestIndex(0xFF0000, pal.data(), 16), 9);
    EXPECT_EQ(platform::NearestIndex(0xC80000, pal.data(), 16), 9);  // 200 is nearer 255
    EXPECT_EQ(platform::NearestIndex(0xA00000, pal.data(), 16), 1);  // 160 is nearer 128
    EXPECT_EQ(platform::NearestIndex(0xFFFFFF, pal.data(), 16), 15);
    EXPECT_EQ(platform::NearestIndex(0xC0C0C0, pal.data(), 16), 7);
    EXPECT_EQ(platform::NearestIndex(0x606060, pal.data(), 16), 8);

    auto s = RasterSurface::Create(3, 1);
    s->FillRect(0, 0, 1, 1, 0x0000FF);  // red
    s->FillRect(1, 0, 2, 1, 0xFF0000);  // blue
    std::vector<uint8_t> table(64), rows(4);
    platform::PackDibBits(*s, 4, table.data(), rows.data());
    EXPECT_EQ(rows[0], 0x9C);
    EXPECT_EQ(rows[1], 0xF0);
    EXPECT_EQ(table[9 * 4 + 2], 255);  // entry 9 is red: blue, green, red, 0
    EXPECT_EQ(table[9 * 4], 0);
}

// Splits records (size in words at 0, function at 4) after the 18-byte header.
std::vector<std::pair<uint16_t, std::vector<int16_t>>> WmfRecords(const std::vector<uint8_t>& m) {
    std::vector<std::pair<uint16_t, std::vector<int16_t>>> out;
    for (size_t at = 18; at + 6 <= m.size();) {
        const uint32_t words = U32(m, at);
        std::vector<int16_t> params;
        for (size_t p = at + 6; p < at + 2 * words; p += 2) params.push_back(int16_t(U16(m, p)));
        out.emplace_back(uint16_t(U16(m, at + 4)), params);
        if (words < 3) break;
        at += 2 * words;
    }
    return out;
}

TEST(WmfRecorder, WritesHeaderAndReusesObjects) {
    platform::WmfRecorder rec;
    EXPECT_EQ(rec.ResolutionX(), 0);
    rec.SetWindowExt(500, 300);
    rec.SetWindowOrg(0, 0);
    rec.FillRect(0, 0, 500, 300, 0xFFFFFF);
    rec.FillRect(10, 20, 18, 28, 0);
    rec.FillRect(18, 20, 26, 28, 0);
    rec.FillRect(5, 5, 5, 9, 0);  // empty: not recorded
    rec.Line(0, 299, 40000, 299);
    const std::vector<uint8_t> m = rec.Close();
    ASSERT_GE(m.size(), 18u);
    EXPECT_EQ(U16(m, 0), 1u);
    EXPECT_EQ(U16(m, 2), 9u);
    EXPECT_EQ(U16(m, 4), 0x300u);
    EXPECT_EQ(U32(m, 6) * 2, m.size());
    EXPECT_EQ(U16(m, 10), 4u);  // white brush, white pen, black brush, black pen
    EXPECT_EQ(U32(m, 12), 8u);  // largest record: CreatePenIndirect

    const auto r = WmfRecords(m);
    std::vector<uint16_t> functions;
    for (const auto& [f, p] : r) functions.push_back(f);
    const std::vector<uint16_t> expected = {0x020C, 0x020B,                  // window extent, origin
                                            0x02FC, 0x012D, 0x02FA, 0x012D,  // white brush and pen
                                            0x041B,                          // background
                                            0x02FC, 0x012D, 0x02FA, 0x012D,  // black brush and pen
                                            0x041B, 0x041B,                  // two modules
                                            0x0214, 0x0213,                  // the line (black pen already selected)
                                            0x01F0, 0x01F0, 0x01F0, 0x01F0, 0x0000};
    EXPECT_EQ(functions, expected);
    EXPECT_EQ(r[0].second, (std::vector<int16_t>{300, 500}));
    EXPECT_EQ(r[11].second, (std::vector<int16_t>{28, 18, 20, 10}));  // bottom, right, top, left
    EXPECT_EQ(r[7].second, (std::vector<int16_t>{0, 0, 0, 0}));       // solid black brush
    EXPECT_EQ(r[14].second, (std::vector<int16_t>{299, 32767}));      // clamped to 16 bits
    EXPECT_EQ(r[12].second[3], 18);                                   // the second module, left edge
}

TEST(EmfRecorder, HeaderCountsBoundsAndRecordSequence) {
    platform::EmfRecorder rec;
    EXPECT_EQ(rec.ResolutionX(), 96);
    EXPECT_EQ(rec.SetMapMode(platform::kMapModeText), platform::kMapModeText);
    rec.SetWindowExt(500, 300);
    rec.SetWindowOrg(0, 0);
    rec.FillRect(0, 0, 500, 300, 0xFFFFFF);
    rec.FillRect(10, 20, 18, 28, 0);
    rec.Line(0, 0, 499, 0);
    const std::vector<uint8_t> e = rec.Close();

    ASSERT_GE(e.size(), platform::kEmrHeaderSize);
    EXPECT_EQ(U32(e, 0), platform::kEmrHeader);
    EXPECT_EQ(U32(e, 4), platform::kEmrHeaderSize);
    EXPECT_EQ(U32(e, 8), 0u);
    EXPECT_EQ(U32(e, 16), 499u);  // inclusive bounds
    EXPECT_EQ(U32(e, 20), 299u);
    EXPECT_EQ(U32(e, 32), 13229u - 1);  // 500 px at 96 dpi in 0.01 mm
    EXPECT_EQ(U32(e, 36), 7938u - 1);
    EXPECT_EQ(U32(e, 40), 0x464D4520u);
    EXPECT_EQ(U32(e, 44), 0x10000u);
    EXPECT_EQ(U32(e, 48), e.size());
    EXPECT_EQ(U16(e, 56), 5u);  // index 0 plus four objects
    EXPECT_EQ(U32(e, 72), 1920u);
    EXPECT_EQ(U32(e, 80), 508u);
    EXPECT_EQ(U32(e, 100), 508000u);

    std::vector<uint32_t> types;
    size_t at = 0;
    while (at + 8 <= e.size()) {
        const uint32_t size = U32(e, at + 4);
        ASSERT_EQ(size % 4, 0u);
        ASSERT_GE(size, 8u);
        types.push_back(U32(e, at));
        at += size;
    }
    EXPECT_EQ(at, e.size());
    EXPECT_EQ(U32(e, 52), types.size());
    const std::vector<uint32_t> expected = {1,  17, 9,  10, 39, 37, 38, 37, 43, 39, 37,
                                            38, 37, 43, 27, 54, 40, 40, 40, 40, 14};
    EXPECT_EQ(types, expected);
    EXPECT_EQ(U32(e, e.size() - 4), 20u);
}

TEST(EmfRecorder, EmptyRecordingHasEmptyBounds) {
    platform::EmfRecorder rec;
    rec.SetMapMode(platform::kMapModeText);
    const std::vector<uint8_t> e = rec.Close();
    EXPECT_EQ(e.size(), platform::kEmrHeaderSize + 12 + 20);
    EXPECT_EQ(int32_t(U32(e, 16)), -1);
    EXPECT_EQ(U32(e, 52), 3u);
}

bool HaveTool(const char* name) {
    return std::system((std::string("command -v ") + name + " >/dev/null 2>&1").c_str()) == 0;
}

TEST(Clipboard, WithoutDisplayTheClipboardCannotBeOpened) {
    if (std::getenv("QR_CLIPBOARD_CHILD") != nullptr) GTEST_SKIP();
    const std::string display = std::getenv("DISPLAY") ? std::getenv("DISPLAY") : "";
    const std::string wayland = std::getenv("WAYLAND_DISPLAY") ? std::getenv("WAYLAND_DISPLAY") : "";
    unsetenv("DISPLAY");
    unsetenv("WAYLAND_DISPLAY");
    EXPECT_FALSE(platform::PutEnhancedMetafileOnClipboard({1, 2, 3, 4}));
    if (!display.empty()) setenv("DISPLAY", display.c_str(), 1);
    if (!wayland.empty()) setenv("WAYLAND_DISPLAY", wayland.c_str(), 1);
}

// Runs itself again under a virtual X server; the child offers a metafile and
// checks that the clipboard lists it as image/emf.
TEST(Clipboard, OffersImageEmfOnAnXDisplay) {
    if (std::getenv("QR_CLIPBOARD_CHILD") != nullptr) {
        unsetenv("WAYLAND_DISPLAY");
        platform::EmfRecorder rec;
        rec.FillRect(0, 0, 10, 10, 0);
        ASSERT_TRUE(platform::PutEnhancedMetafileOnClipboard(rec.Close()));
        FILE* p = popen("xclip -selection clipboard -t TARGETS -o", "r");
        ASSERT_NE(p, nullptr);
        std::string targets;
        char buf[256];
        while (size_t n = fread(buf, 1, sizeof buf, p)) targets.append(buf, n);
        pclose(p);
        EXPECT_NE(targets.find("image/emf"), std::string::npos) << targets;
        return;
    }
    if (!HaveTool("xvfb-run") || !HaveTool("xclip")) GTEST_SKIP() << "xvfb-run or xclip missing";
    const std::string cmd = "QR_CLIPBOARD_CHILD=1 xvfb-run -a /proc/" + std::to_string(getpid()) +
                            "/exe --gtest_filter=Clipboard.OffersImageEmfOnAnXDisplay >/dev/null 2>&1";
    EXPECT_EQ(std::system(cmd.c_str()), 0);
}

}  // namespace
