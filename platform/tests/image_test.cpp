// pieces: image
#include <gtest/gtest.h>

#include <unistd.h>

#include <filesystem>

#include "picture_files.h"
#include "image/image_file.h"

namespace {

std::string TempPicture(const char* name, const std::vector<uint8_t>& bytes) {
    const std::string path =
        (std::filesystem::temp_directory_path() / (std::string("platform_image_") + std::to_string(::getpid()) + name))
            .string();
    testfiles::WriteBytes(path, bytes);
    return path;
}

}  // namespace

TEST(ImageFile, SizeResolutionMonoAndPixels) {
    testfiles::PngLayout mono;
    mono.width = 30;
    mono.height = 20;
    mono.bitDepth = 1;
    mono.colourType = PNG_COLOR_TYPE_PALETTE;
    mono.palette = {0xFFFFFF, 0x000000};  // white first
    mono.pixel = [](int x, int y) -> uint32_t { return x == 3 && y == 4; };
    mono.ppmX = 7874;  // 200 dpi
    mono.ppmY = 3937;  // 100 dpi
    const std::string path = TempPicture("mono.png", testfiles::MakePng(mono));
    platform::ImageFile file;
    ASSERT_EQ(file.Load(path, 65535, 1 << 28), platform::ImageStatus::kOk);
    EXPECT_EQ(file.Width(), 30);
    EXPECT_EQ(file.Height(), 20);
    EXPECT_TRUE(file.IsMono());
    EXPECT_EQ(file.DpiX(), 200);
    EXPECT_EQ(file.DpiY(), 100);
    uint32_t row[30];
    file.ReadRow(4, 0, 30, row);
    EXPECT_EQ(row[3], 0xFF000000u);
    EXPECT_EQ(row[4], 0xFFFFFFFFu);

    EXPECT_EQ(file.Load(path, 29, 1 << 28), platform::ImageStatus::kTooLarge);
    EXPECT_EQ(file.Load(path, 65535, 599), platform::ImageStatus::kTooLarge);
    EXPECT_EQ(file.Load(path + ".absent", 65535, 1 << 28), platform::ImageStatus::kNotFound);
    std::filesystem::remove(path);

    testfiles::PngLayout colour;
    colour.width = 4;
    colour.height = 3;
    colour.colourType = PNG_COLOR_TYPE_RGB;
    colour.pixel = [](int, int) -> uint32_t { return 0x0A141E; };
    const std::string rgb = TempPicture("rgb.png", testfiles::MakePng(colour));
    ASSERT_EQ(file.Load(rgb, 65535, 1 << 28), platform::ImageStatus::kOk);
    EXPECT_FALSE(file.IsMono());
    EXPECT_EQ(file.DpiX(), 100) << "no resolution stated";
    file.ReadRow(2, 1, 3, row);
    EXPECT_EQ(row[2], 0xFF0A141Eu);
    std::filesystem::remove(rgb);
}

// What Qt's reader gave for the cases the decoder meets: 16-bit samples
// rounded, a transparent grey keeps its alpha, GIF at 100 dpi, and the
// format told by content whatever the name.
TEST(ImageFile, FormatsByContent) {
    testfiles::PngLayout deep;
    deep.width = deep.height = 2;
    deep.bitDepth = 16;
    deep.pixel = [](int x, int) -> uint32_t { return x ? 3001 : 65535; };  // 3001 / 257 = 11.7
    const std::string png = TempPicture("deep.gif", testfiles::MakePng(deep));
    platform::ImageFile file;
    ASSERT_EQ(file.Load(png, 65535, 1 << 28), platform::ImageStatus::kOk);
    uint32_t row[2];
    file.ReadRow(0, 0, 2, row);
    EXPECT_EQ(row[0], 0xFFFFFFFFu);
    EXPECT_EQ(row[1], 0xFF0C0C0Cu);

    const std::string gif = TempPicture("bars.png", testfiles::MakeGif(25, 22, [](int x, int) { return x > 3; }));
    ASSERT_EQ(file.Load(gif, 65535, 1 << 28), platform::ImageStatus::kOk);
    EXPECT_EQ(file.Width(), 25);
    EXPECT_FALSE(file.IsMono());
    EXPECT_EQ(file.DpiX(), 100);
    file.ReadRow(0, 3, 2, row);
    EXPECT_EQ(row[0], 0xFF000000u);
    EXPECT_EQ(row[1], 0xFFFFFFFFu);

    testfiles::BmpLayout topDown;
    topDown.topDown = true;
    topDown.palette = {{0, 0, 0}, {255, 255, 255}};
    topDown.pixel = [](int, int y) -> uint32_t { return y == 0; };
    const std::string bmp = TempPicture("top.png", testfiles::MakeBmp(topDown));
    ASSERT_EQ(file.Load(bmp, 65535, 1 << 28), platform::ImageStatus::kOk);
    file.ReadRow(0, 0, 1, row);
    EXPECT_EQ(row[0], 0xFFFFFFFFu);
    file.ReadRow(1, 0, 1, row);
    EXPECT_EQ(row[0], 0xFF000000u);
    for (const auto& path : {png, gif, bmp}) std::filesystem::remove(path);
}

// Each layout libpng hands over (1-bit, grey, grey packed, palette, RGB,
// RGBA, grey with alpha), plain and interlaced, is widened to ARGB inside
// the pixels' own memory: every pixel comes out as drawn.
TEST(ImageFile, EveryPngLayoutGivesItsPixels) {
    struct Case {
        const char* name;
        int colourType, bitDepth;
        uint32_t (*pixel)(int x, int y);
        uint32_t (*argb)(uint32_t v);
    };
    const std::vector<uint32_t> palette = {0x102030, 0xA0B0C0, 0xFF0000, 0x00FF00, 0x0000FF, 0x123456,
                                           0x654321, 0x777777, 0x000000, 0xFFFFFF, 0x0F0F0F, 0xF0F0F0,
                                           0x010203, 0x332211, 0x445566, 0x998877};
    static const uint32_t* table = palette.data();
    const Case cases[] = {
        {"mono", PNG_COLOR_TYPE_GRAY, 1, [](int x, int y) -> uint32_t { return (x * 3 + y) % 5 == 0; },
         [](uint32_t v) { return v ? 0xFFFFFFFFu : 0xFF000000u; }},
        {"grey", PNG_COLOR_TYPE_GRAY, 8, [](int x, int y) -> uint32_t { return (x * 7 + y * 13) & 0xFF; },
         [](uint32_t v) { return 0xFF000000u | v * 0x010101u; }},
        {"grey4", PNG_COLOR_TYPE_GRAY, 4, [](int x, int y) -> uint32_t { return (x + 3 * y) & 0xF; },
         [](uint32_t v) { return 0xFF000000u | (v * 17) * 0x010101u; }},
        {"palette", PNG_COLOR_TYPE_PALETTE, 4, [](int x, int y) -> uint32_t { return (x * 5 + y) & 0xF; },
         [](uint32_t v) { return 0xFF000000u | table[v]; }},
        {"rgb", PNG_COLOR_TYPE_RGB, 8,
         [](int x, int y) -> uint32_t { return (uint32_t(x) * 0x030507u + uint32_t(y) * 0x0B0D11u) & 0xFFFFFF; },
         [](uint32_t v) { return 0xFF000000u | v; }},
        {"rgba", PNG_COLOR_TYPE_RGB_ALPHA, 8,
         [](int x, int y) -> uint32_t { return uint32_t(x) * 0x03050709u + uint32_t(y) * 0x0B0D1113u; },
         [](uint32_t v) { return v; }},
        {"grey_alpha", PNG_COLOR_TYPE_GRAY_ALPHA, 8,
         [](int x, int y) -> uint32_t { return uint32_t(x * 0x0305 + y * 0x0B0D) & 0xFFFF; },
         [](uint32_t v) { return (v >> 8) << 24 | (v & 0xFF) * 0x010101u; }},
    };
    platform::ImageFile file;
    for (const Case& c : cases) {
        for (bool interlaced : {false, true}) {
            testfiles::PngLayout layout;
            layout.width = 37;
            layout.height = 23;
            layout.colourType = c.colourType;
            layout.bitDepth = c.bitDepth;
            layout.interlaced = interlaced;
            if (c.colourType == PNG_COLOR_TYPE_PALETTE) layout.palette = palette;
            layout.pixel = c.pixel;
            const std::string path = TempPicture("layout.png", testfiles::MakePng(layout));
            ASSERT_EQ(file.Load(path, 65535, 1 << 28), platform::ImageStatus::kOk) << c.name;
            std::filesystem::remove(path);
            uint32_t row[37];
            int wrong = 0;
            for (int y = 0; y < 23; ++y) {
                file.ReadRow(y, 0, 37, row);
                for (int x = 0; x < 37; ++x) wrong += row[x] != c.argb(c.pixel(x, y));
            }
            EXPECT_EQ(wrong, 0) << c.name << (interlaced ? " interlaced" : "");
        }
    }
}
