// Picture input: the BMP, JPEG and general readers on files written here.
#include <gtest/gtest.h>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <atomic>
#include <thread>

#include "picture_files.h"
#include "input/picture_reader.h"

using lectavo::GrayPicture;
using lectavo::PictureRect;
using lectavo::ReadPicture;
using namespace testfiles;

namespace {

std::vector<Bgr> GreyPalette(std::initializer_list<uint8_t> greys) {
    std::vector<Bgr> p;
    for (uint8_t g : greys) p.push_back({g, g, g});
    return p;
}

std::string Write(const std::string& name, const std::vector<uint8_t>& bytes) {
    const std::string path = TempPath(name);
    WriteBytes(path, bytes);
    return path;
}

uint8_t At(const GrayPicture& p, int x, int y) { return p.pixels[static_cast<size_t>(y) * p.width + x]; }

}  // namespace

TEST(BmpReader, TwentyFourBitsUseTheWeightedGrey) {
    BmpLayout s;
    s.width = 25;
    s.height = 22;
    s.bitCount = 24;
    s.pixel = [](int x, int y) -> uint32_t { return y == 0 && x == 0 ? 0x102030u : x < 5 ? 0xFF0000u : 0x00FF00u; };
    GrayPicture p;
    ASSERT_EQ(ReadPicture(Write("rgb.bmp", MakeBmp(s)).c_str(), nullptr, p), 0);
    ASSERT_EQ(p.width, 25);
    ASSERT_EQ(p.height, 22);
    EXPECT_EQ(At(p, 0, 0), (77 * 0x10 + 150 * 0x20 + 29 * 0x30) >> 8);
    EXPECT_EQ(At(p, 1, 0), (77 * 255) >> 8);
    EXPECT_EQ(At(p, 10, 5), (150 * 255) >> 8);
    EXPECT_EQ(p.threshold, (((77 * 0x10 + 150 * 0x20 + 29 * 0x30) >> 8) + ((150 * 255) >> 8)) / 2);
    EXPECT_FALSE(p.bilevel);
    EXPECT_EQ(p.scaleX, 1.0f);
    EXPECT_EQ(p.scaleY, 1.0f);
}

TEST(BmpReader, OneBitTakesThresholdFromThePaletteAndBitsMostSignificantFirst) {
    BmpLayout s;
    s.width = 40;
    s.height = 30;
    s.bitCount = 1;
    s.palette = GreyPalette({255, 0});
    s.pixel = [](int x, int) -> uint32_t { return x == 9 ? 1 : 0; };  // one dark column
    GrayPicture p;
    ASSERT_EQ(ReadPicture(Write("mono.bmp", MakeBmp(s)).c_str(), nullptr, p), 0);
    EXPECT_TRUE(p.bilevel);
    EXPECT_EQ(p.threshold, 127);
    EXPECT_EQ(At(p, 9, 3), 0);
    EXPECT_EQ(At(p, 8, 3), 255);
    EXPECT_EQ(At(p, 10, 3), 255);
}

TEST(BmpReader, FourAndEightBitPalettes) {
    BmpLayout s;
    s.width = 23;
    s.height = 21;
    s.bitCount = 4;
    for (int i = 0; i < 16; ++i) s.palette.push_back({uint8_t(i * 16), uint8_t(i * 16), uint8_t(i * 16)});
    s.pixel = [](int x, int y) -> uint32_t { return static_cast<uint32_t>((x + y) % 16); };
    GrayPicture p;
    ASSERT_EQ(ReadPicture(Write("four.bmp", MakeBmp(s)).c_str(), nullptr, p), 0);
    for (int x : {0, 1, 2, 21, 22}) EXPECT_EQ(At(p, x, 4), ((x + 4) % 16) * 16) << x;

    s.bitCount = 8;
    s.palette.clear();
    for (int i = 0; i < 256; ++i) s.palette.push_back({0, 0, uint8_t(255 - i)});  // reds
    s.pixel = [](int x, int y) -> uint32_t { return static_cast<uint32_t>(x * 10 + y); };
    ASSERT_EQ(ReadPicture(Write("eight.bmp", MakeBmp(s)).c_str(), nullptr, p), 0);
    EXPECT_EQ(At(p, 3, 2), (77 * (255 - 32)) >> 8);
    EXPECT_FALSE(p.bilevel);
}

TEST(BmpReader, LargerHeaderAndShortPaletteStayInsideTheFile) {
    BmpLayout s;
    s.width = 24;
    s.height = 24;
    s.bitCount = 8;
    s.headerSize = 108;  // palette follows the stated header
    s.palette = GreyPalette({10, 200});
    s.colorsUsed = 2;
    s.pixel = [](int x, int) -> uint32_t { return x < 8 ? 0 : x < 16 ? 1 : 7; };
    GrayPicture p;
    ASSERT_EQ(ReadPicture(Write("v4.bmp", MakeBmp(s)).c_str(), nullptr, p), 0);
    EXPECT_EQ(At(p, 0, 0), 10);
    EXPECT_EQ(At(p, 8, 0), 200);
    EXPECT_EQ(At(p, 20, 0), 0) << "an index beyond the palette is black";
}

TEST(BmpReader, RectanglesAreClippedToThePicture) {
    BmpLayout s;
    s.width = 40;
    s.height = 30;
    s.bitCount = 8;
    s.palette = GreyPalette({0, 255});
    s.pixel = [](int x, int y) -> uint32_t { return x >= 20 || y >= 15; };
    const std::string path = Write("rect.bmp", MakeBmp(s));
    GrayPicture p;
    PictureRect r{-5, -7, 22, 25};  // negative corner: clipped to 0, 0
    ASSERT_EQ(ReadPicture(path.c_str(), &r, p), 0);
    EXPECT_EQ(p.width, 22);
    EXPECT_EQ(p.height, 25);
    EXPECT_EQ(At(p, 0, 0), 0);
    EXPECT_EQ(At(p, 20, 0), 255);

    r = {15, 5, 100, 100};  // right and bottom clipped
    ASSERT_EQ(ReadPicture(path.c_str(), &r, p), 0);
    EXPECT_EQ(p.width, 25);
    EXPECT_EQ(p.height, 25);
    EXPECT_EQ(At(p, 5, 0), 255);
    EXPECT_EQ(At(p, 4, 0), 0);

    for (PictureRect outside : {PictureRect{40, 0, 80, 30}, PictureRect{0, 30, 40, 60}, PictureRect{0, 0, 20, 30},
                                PictureRect{0, 0, 40, 20}, PictureRect{-30, -30, -1, -1}}) {
        EXPECT_EQ(ReadPicture(path.c_str(), &outside, p), 0);
        EXPECT_FALSE(p.HasImage());
    }
    s.width = 20;
    EXPECT_EQ(ReadPicture(Write("narrow.bmp", MakeBmp(s)).c_str(), nullptr, p), 0);
    EXPECT_FALSE(p.HasImage());
}

TEST(BmpReader, LayoutsItDoesNotReadGoToTheGeneralLoader) {
    BmpLayout s;
    s.width = 40;
    s.height = 30;
    s.bitCount = 8;
    s.palette = GreyPalette({0, 255});
    s.pixel = [](int x, int y) -> uint32_t { return y < 10 || x >= 20; };
    GrayPicture p;

    s.topDown = true;
    ASSERT_EQ(ReadPicture(Write("topdown.bmp", MakeBmp(s)).c_str(), nullptr, p), 0);
    EXPECT_EQ(At(p, 0, 0), 255);
    EXPECT_EQ(At(p, 0, 29), 0);
    s.topDown = false;

    // 200 x 100 dots per inch: twice as many rows, scale y 2.
    s.ppmX = 7874;
    s.ppmY = 3937;
    ASSERT_EQ(ReadPicture(Write("wide.dib", MakeBmp(s)).c_str(), nullptr, p), 0);
    EXPECT_EQ(p.width, 40);
    EXPECT_EQ(p.height, 60);
    EXPECT_EQ(p.scaleY, 2.0f);
    EXPECT_EQ(p.scaleX, 1.0f);
    EXPECT_EQ(At(p, 0, 19), 255);
    EXPECT_EQ(At(p, 0, 20), 0);

    // 100 x 300: three times as many columns.
    s.ppmX = 3937;
    s.ppmY = 11811;
    ASSERT_EQ(ReadPicture(Write("tall.bmp", MakeBmp(s)).c_str(), nullptr, p), 0);
    EXPECT_EQ(p.width, 120);
    EXPECT_EQ(p.height, 30);
    EXPECT_EQ(p.scaleX, 3.0f);
    EXPECT_EQ(At(p, 59, 20), 0);
    EXPECT_EQ(At(p, 60, 20), 255);

    // Compressed (RLE8) with a valid stream: end of bitmap at once.
    std::vector<uint8_t> rle = MakeBmp(BmpLayout{});
    Put32(rle, 30, 1);
    GrayPicture q;
    const int code = ReadPicture(Write("rle.bmp", rle).c_str(), nullptr, q);
    EXPECT_TRUE(code == 0 || code == lectavo::kUnreadable) << code;
}

TEST(BmpReader, DamagedFilesNeverReadPastTheirEnd) {
    BmpLayout s;
    s.width = 64;
    s.height = 64;
    s.bitCount = 24;
    s.pixel = [](int x, int) -> uint32_t { return x < 32 ? 0 : 0xFFFFFF; };
    const std::vector<uint8_t> whole = MakeBmp(s);
    GrayPicture p;
    for (size_t size :
         {size_t{0}, size_t{10}, size_t{53}, size_t{54}, size_t{60}, whole.size() / 2, whole.size() - 1}) {
        const std::vector<uint8_t> cut(whole.begin(), whole.begin() + static_cast<long>(size));
        const int code = ReadPicture(Write("cut.bmp", cut).c_str(), nullptr, p);
        EXPECT_TRUE(code == 0 || code == lectavo::kUnreadable) << size << ": " << code;
    }
    // Header size pointing past the end, huge width, 8-bit file ending in its palette.
    std::vector<uint8_t> bad = whole;
    Put32(bad, 14, 0x7FFFFFF0);
    EXPECT_EQ(ReadPicture(Write("header.bmp", bad).c_str(), nullptr, p), lectavo::kUnreadable);
    bad = whole;
    Put32(bad, 18, 0x7FFFFFFF);
    EXPECT_EQ(ReadPicture(Write("wide.bmp", bad).c_str(), nullptr, p), lectavo::kUnreadable);
    BmpLayout paletted;
    paletted.bitCount = 8;
    paletted.palette.assign(256, Bgr{1, 2, 3});
    const std::vector<uint8_t> full = MakeBmp(paletted);
    const std::vector<uint8_t> palette(full.begin(), full.begin() + 54 + 40);
    EXPECT_EQ(ReadPicture(Write("palette.bmp", palette).c_str(), nullptr, p), lectavo::kUnreadable);
}

TEST(PictureReader, MissingUnreadableAndMisnamedFiles) {
    GrayPicture p;
    for (const char* name : {"absent.bmp", "absent.jpg", "absent.png", "absent"})
        EXPECT_EQ(ReadPicture(TempPath(name).c_str(), nullptr, p), lectavo::kFileNotFound) << name;
    EXPECT_EQ(ReadPicture((TempPath("absent") + "/x.bmp").c_str(), nullptr, p), lectavo::kFileNotFound);

    // A JPEG named .BMP: the BMP reader refuses it, the general loader reads it.
    const std::string jpeg = TempPath("photo.BMP");
    WriteJpeg(jpeg, 30, 30, 3, [](int x, int, int) { return static_cast<uint8_t>(x < 15 ? 0 : 255); });
    ASSERT_EQ(ReadPicture(jpeg.c_str(), nullptr, p), 0);
    EXPECT_EQ(p.width, 30);
    EXPECT_LT(At(p, 2, 2), 30);

    WriteBytes(TempPath("text.png"), std::vector<uint8_t>(100, 'x'));
    EXPECT_EQ(ReadPicture(TempPath("text.png").c_str(), nullptr, p), lectavo::kUnreadable);
    EXPECT_EQ(ReadPicture(TempPath("text.jpeg").c_str(), nullptr, p), lectavo::kFileNotFound);
    WriteBytes(TempPath("text.jpeg"), std::vector<uint8_t>(100, 'x'));
    EXPECT_EQ(ReadPicture(TempPath("text.jpeg").c_str(), nullptr, p), lectavo::kUnreadable);
}

TEST(PictureReader, FilesWithoutReadPermission) {
    if (::geteuid() == 0) GTEST_SKIP() << "permissions do not apply to root";
    const std::vector<uint8_t> bmp = MakeBmp(BmpLayout{});
    GrayPicture p;
    for (const char* name : {"locked.bmp", "locked.jpg", "locked.png"}) {
        const std::string path = Write(name, bmp);
        ::chmod(path.c_str(), 0);
        EXPECT_EQ(ReadPicture(path.c_str(), nullptr, p), lectavo::kSharingViolation) << name;
        ::chmod(path.c_str(), 0600);
    }
}

TEST(JpegReader, GreyColourAndCmykPictures) {
    auto bars = [](int x, int, int c) -> uint8_t {
        if (x < 16) return 0;
        return c == 0 ? 255 : 40;  // red-ish on the right
    };
    GrayPicture p;
    const std::string grey = TempPath("grey.jpg");
    WriteJpeg(grey, 48, 32, 1, [](int x, int, int) { return static_cast<uint8_t>(x < 24 ? 20 : 230); });
    ASSERT_EQ(ReadPicture(grey.c_str(), nullptr, p), 0);
    EXPECT_EQ(p.width, 48);
    EXPECT_EQ(p.height, 32);
    EXPECT_NEAR(At(p, 4, 4), 20, 4);
    EXPECT_NEAR(At(p, 40, 4), 230, 4);
    EXPECT_NEAR(p.threshold, 125, 6);

    const std::string colour = TempPath("colour.jpeg");
    WriteJpeg(colour, 48, 32, 3, bars);
    ASSERT_EQ(ReadPicture(colour.c_str(), nullptr, p), 0);
    EXPECT_NEAR(At(p, 40, 10), (77 * 255 + 150 * 40 + 29 * 40) >> 8, 8);

    PictureRect r{20, -4, 48, 30};
    ASSERT_EQ(ReadPicture(colour.c_str(), &r, p), 0);
    EXPECT_EQ(p.width, 28);
    EXPECT_EQ(p.height, 30);

    // Inverted CMYK inks as an Adobe marker declares them: 255 = no ink.
    const std::string cmyk = TempPath("cmyk.jpg");
    WriteJpeg(cmyk, 48, 32, 4, [](int x, int, int c) -> uint8_t { return x < 24 && c == 3 ? 0 : 255; });
    ASSERT_EQ(ReadPicture(cmyk.c_str(), nullptr, p), 0);
    EXPECT_LT(At(p, 4, 4), 10);
    EXPECT_GT(At(p, 40, 4), 245);
}

TEST(GeneralLoader, PngAndGifPictures) {
    PngLayout mono;
    mono.width = 64;
    mono.height = 48;
    mono.bitDepth = 1;
    mono.colourType = PNG_COLOR_TYPE_PALETTE;
    mono.palette = {0x000000, 0xFFFFFF};  // black first: colours decide, not indexes
    mono.pixel = [](int x, int) -> uint32_t { return x == 5 ? 0 : 1; };
    GrayPicture p;
    ASSERT_EQ(ReadPicture(Write("mono.png", MakePng(mono)).c_str(), nullptr, p), 0);
    EXPECT_TRUE(p.bilevel);
    EXPECT_EQ(At(p, 5, 7), 0);
    EXPECT_EQ(At(p, 6, 7), 255);
    EXPECT_EQ(p.threshold, 127);

    PngLayout colour;
    colour.width = colour.height = 30;
    colour.colourType = PNG_COLOR_TYPE_RGB;
    colour.pixel = [](int, int) -> uint32_t { return 0x0000FF; };
    ASSERT_EQ(ReadPicture(Write("colour.png", MakePng(colour)).c_str(), nullptr, p), 0);
    EXPECT_FALSE(p.bilevel);
    EXPECT_EQ(At(p, 3, 3), (29 * 255) >> 8);

    const std::string gif = Write("bars.gif", MakeGif(33, 27, [](int x, int) { return x >= 11; }));
    PictureRect r{1, 2, 30, 27};
    ASSERT_EQ(ReadPicture(gif.c_str(), &r, p), 0);
    EXPECT_EQ(p.width, 29);
    EXPECT_EQ(p.height, 25);
    EXPECT_EQ(At(p, 9, 0), 0);
    EXPECT_EQ(At(p, 10, 0), 255);
}

namespace {

// A grey PNG whose sample at (x, y) is `grey(x, y)`, with the given
// resolutions in dots per metre.
std::string GreyPng(const std::string& name, int width, int height, std::function<uint32_t(int, int)> grey,
                    uint32_t ppmX, uint32_t ppmY) {
    PngLayout s;
    s.width = width;
    s.height = height;
    s.pixel = std::move(grey);
    s.ppmX = ppmX;
    s.ppmY = ppmY;
    return Write(name, MakePng(s));
}

}  // namespace

// A rectangle of a picture with non-square pixels covers the picture pixels
// the caller named: its rows (or columns) are stretched from the rectangle's
// own top (or left), not from that coordinate divided by the scale, which
// would read another part of the picture.
TEST(GeneralLoader, ResampledRectangleReadsTheRequestedRegion) {
    // 200 x 100 dots per inch: rows are doubled.
    const std::string rows = GreyPng(
        "rows.png", 40, 120, [](int, int y) -> uint32_t { return 2 * y; }, 7874, 3937);
    PictureRect r{0, 40, 40, 100};
    GrayPicture p;
    ASSERT_EQ(ReadPicture(rows.c_str(), &r, p), 0);
    ASSERT_EQ(p.height, 120);
    EXPECT_EQ(p.scaleY, 2.0f);
    for (int row = 0; row < p.height; ++row) EXPECT_EQ(At(p, 5, row), 2 * (40 + row / 2)) << row;

    // 100 x 200: columns are doubled.
    const std::string columns = GreyPng(
        "columns.png", 120, 40, [](int x, int) -> uint32_t { return 2 * x; }, 3937, 7874);
    PictureRect c{30, 0, 90, 40};
    ASSERT_EQ(ReadPicture(columns.c_str(), &c, p), 0);
    ASSERT_EQ(p.width, 120);
    for (int column = 0; column < p.width; ++column) EXPECT_EQ(At(p, column, 5), 2 * (30 + column / 2)) << column;
}

// Files may state absurdly unequal resolutions; the stretched size is
// refused as too large instead of overflowing.
TEST(GeneralLoader, AbsurdResolutionRatioIsRefused) {
    // 60 columns stretched 50 million times would overflow a 32-bit size:
    // about 1 and 50 million dots per inch.
    const std::string path = GreyPng(
        "ratio.png", 60, 60, [](int, int) -> uint32_t { return 255; }, 40, 2000000000);
    GrayPicture p;
    EXPECT_EQ(ReadPicture(path.c_str(), nullptr, p), lectavo::kOutOfMemory);
    EXPECT_FALSE(p.HasImage());
}
