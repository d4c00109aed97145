// pieces: gdi
#include <gtest/gtest.h>

#include <windows.h>

#include <cstring>
#include <set>

#include "gdi/dib_packing.h"
#include "gdi/metafile_context.h"
#include "gdi/raster_surface.h"
#include "gdi/raster_surface_native_windows.h"

using platform::RasterSurface;

namespace {

constexpr uint32_t kRed = 0x0000FF;  // 0x00BBGGRR

// Covers the whole 8 x 6 surface, so a played-back EMF maps 1:1.
void Draw(platform::DeviceContext& dc) {
    dc.FillRect(0, 0, 8, 6, platform::kWhite);
    dc.FillRect(1, 1, 2, 2, platform::kBlack);  // a single pixel
    dc.FillRect(3, 0, 6, 2, kRed);
    dc.Line(0, 4, 5, 4);  // end point left out
}

void ExpectDrawn(const RasterSurface& s) {
    EXPECT_EQ(s.Pixel(0, 0), 0xFFFFFFu);  // a new surface is white
    EXPECT_EQ(s.Pixel(1, 1), 0u);
    EXPECT_EQ(s.Pixel(2, 1), 0xFFFFFFu);
    EXPECT_EQ(s.Pixel(1, 2), 0xFFFFFFu);
    EXPECT_EQ(s.Pixel(3, 0), 0xFF0000u);
    EXPECT_EQ(s.Pixel(5, 1), 0xFF0000u);
    EXPECT_EQ(s.Pixel(6, 1), 0xFFFFFFu);
    EXPECT_EQ(s.Pixel(3, 2), 0xFFFFFFu);
    EXPECT_EQ(s.Pixel(0, 4), 0u);
    EXPECT_EQ(s.Pixel(4, 4), 0u);
    EXPECT_EQ(s.Pixel(5, 4), 0xFFFFFFu);
}

}  // namespace

TEST(GdiSurface, FillsAndLinesCoverExactlyTheirPixels) {
    auto s = RasterSurface::Create(8, 6);
    ASSERT_NE(s, nullptr);
    EXPECT_GT(s->ResolutionX(), 0);
    Draw(*s);
    ExpectDrawn(*s);
    EXPECT_EQ(RasterSurface::Create(0, 5), nullptr);
}

TEST(GdiSurface, SystemPackingUsesTheMonochromeAndStandardTables) {
    auto s = RasterSurface::Create(9, 2);
    ASSERT_NE(s, nullptr);
    s->FillRect(0, 0, 1, 2, platform::kBlack);
    s->FillRect(1, 0, 2, 2, kRed);
    uint8_t table[64];
    uint8_t rows[16];
    platform::PackDibBits(*s, 1, table, rows);
    const uint8_t mono[8] = {0, 0, 0, 0, 255, 255, 255, 0};
    EXPECT_EQ(std::memcmp(table, mono, 8), 0);
    EXPECT_EQ(rows[0], 0x3F);  // bottom row first: black, red (nearer black), then white
    EXPECT_EQ(rows[1], 0x80);

    // The system's 16-colour table holds the standard colours (the order is
    // the system's own); each pixel indexes the entry of its colour.
    platform::PackDibBits(*s, 4, table, rows);
    auto entry = [&](int i) { return uint32_t{table[4 * i + 2]} << 16 | table[4 * i + 1] << 8 | table[4 * i]; };
    std::set<uint32_t> colours;
    for (int i = 0; i < 16; ++i) colours.insert(entry(i));
    EXPECT_EQ(colours, std::set<uint32_t>(platform::StandardPalette().begin(), platform::StandardPalette().end()));
    EXPECT_EQ(entry(rows[0] >> 4), 0x000000u);
    EXPECT_EQ(entry(rows[0] & 15), 0xFF0000u);
    EXPECT_EQ(entry(rows[1] >> 4), 0xFFFFFFu);
}

TEST(GdiRecorders, RecordWhatWasDrawn) {
    auto wmf = platform::StartWmfRecording();
    wmf->SetWindowExt(8, 6);
    wmf->SetWindowOrg(0, 0);
    Draw(*wmf);
    const std::vector<uint8_t> bytes = wmf->Close();
    ASSERT_GT(bytes.size(), 18u);
    EXPECT_EQ(bytes[0], 1);  // a memory metafile
    auto s = RasterSurface::Create(8, 6);
    HMETAFILE metafile = SetMetaFileBitsEx(static_cast<UINT>(bytes.size()), bytes.data());
    EXPECT_TRUE(PlayMetaFile(s->NativeSurface().dc, metafile));
    DeleteMetaFile(metafile);
    ExpectDrawn(*s);

    // Played back, an EMF is scaled from its frame to the target rectangle;
    // the encoder's tests compare whole symbols that way. Here: the records.
    auto emf = platform::StartEmfRecording();
    emf->SetMapMode(platform::kMapModeText);
    Draw(*emf);
    const std::vector<uint8_t> enhanced = emf->Close();
    ASSERT_GT(enhanced.size(), sizeof(ENHMETAHEADER));
    ENHMETAHEADER header;
    std::memcpy(&header, enhanced.data(), sizeof header);
    EXPECT_EQ(header.iType, static_cast<DWORD>(EMR_HEADER));
    EXPECT_EQ(header.nBytes, enhanced.size());
    EXPECT_GE(header.nRecords, 6u);  // header, map mode, brushes, fills, line, end
}
