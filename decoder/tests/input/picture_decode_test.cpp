// Whole decode calls on picture files of QR symbols from an independent
// encoder: the file, rectangle and array calls and the data getters.
#include <gtest/gtest.h>

#include <array>
#include <cstring>
#include <thread>

#include "decode_driver.h"
#include "decoder_options.h"
#include "lectavo.h"
#include "result_store.h"
#include "picture_files.h"
#include "test_pictures.h"

namespace {

const std::string kText = "Lectavo reads files";

// The symbol on a light 300 x 260 picture at (40, 30).
testpics::Picture SymbolPicture() {
    const testpics::Picture symbol = testpics::Render(testpics::FromQrencode(kText, 2, 1), 4, 4);
    return testpics::Place(symbol, 300, 260, 40, 30);
}

std::string DataString(int index) {
    BSTR text = GetDecodeDataString(index);
    if (!text) return "<null>";
    std::string s(reinterpret_cast<const char*>(text), SysStringByteLen(text));
    SysFreeString(text);
    return s;
}

}  // namespace

TEST(PictureDecode, BmpAndPngFilesDecodeWithTheirData) {
    const testpics::Picture pic = SymbolPicture();
    const std::string bmp = testfiles::TempPath("symbol.bmp");
    testfiles::WriteBytes(bmp, testfiles::GreyBmp(pic.pixels, pic.width, pic.height));
    ASSERT_EQ(DecodePictureFile(bmp.c_str()), 1);
    EXPECT_EQ(DataString(0), kText);
    EXPECT_EQ(GetDecodeLevel(0), 1);
    EXPECT_GE(GetDecodeVersion(0), 2);
    unsigned char* inside = nullptr;
    ASSERT_EQ(GetDecodeData(0, &inside), static_cast<int32_t>(kText.size()));
    EXPECT_EQ(std::string(reinterpret_cast<char*>(inside)), kText);
    std::vector<unsigned char> buffer(kText.size() + 1, 0xEE);
    unsigned char* target = buffer.data();
    ASSERT_EQ(GetDecodeData(0, &target), static_cast<int32_t>(kText.size()));
    EXPECT_EQ(buffer.back(), 0);
    SAFEARRAY* array = GetDecodeDataByteArray(0);
    ASSERT_NE(array, nullptr);
    EXPECT_EQ(array->rgsabound[0].cElements, kText.size());
    SafeArrayDestroy(array);
    LectavoPoint whole[4];
    ASSERT_EQ(GetSymbolePosition(0, whole), 0);
    EXPECT_NEAR(whole[0].x, 40 + 16, 3);
    EXPECT_NEAR(whole[0].y, 30 + 16, 3);

    // The same symbol through a rectangle given by its other two corners.
    ASSERT_EQ(DecodePictureFileRect(bmp.c_str(), 280, 250, 20, 10), 1);
    EXPECT_EQ(DataString(0), kText);
    LectavoPoint part[4];
    ASSERT_EQ(GetSymbolePosition(0, part), 0);
    for (int i = 0; i < 4; ++i) {
        EXPECT_NEAR(part[i].x, whole[i].x, 1);
        EXPECT_NEAR(part[i].y, whole[i].y, 1);
    }
    EXPECT_EQ(DecodePictureFileRect(bmp.c_str(), 60, 10, 80, 250), 0);

    testfiles::PngLayout layout;
    layout.width = pic.width;
    layout.height = pic.height;
    layout.pixel = [&](int x, int y) -> uint32_t { return pic.pixels[static_cast<size_t>(y) * pic.width + x]; };
    const std::string png = testfiles::TempPath("symbol.png");
    testfiles::WriteBytes(png, testfiles::MakePng(layout));
    ASSERT_EQ(DecodePictureFile(png.c_str()), 1);
    EXPECT_EQ(DataString(0), kText);
}

TEST(PictureDecode, ThreadsDecodeAtOnceIntoTheirOwnStores) {
    const testpics::Picture a = testpics::Render(testpics::FromQrencode("first thread", 1, 0), 4, 4);
    const testpics::Picture b = testpics::Render(testpics::FromQrencode("second thread", 1, 0), 4, 4);
    auto decode = [](const testpics::Picture& p, std::string& text) {
        for (int i = 0; i < 5; ++i) {
            if (DecodeGrayScaleArray(p.pixels.data(), p.width, p.height) != 1) return;
            text = DataString(0);
        }
    };
    std::string ta, tb;
    std::thread first(decode, std::cref(a), std::ref(ta)), second(decode, std::cref(b), std::ref(tb));
    first.join();
    second.join();
    EXPECT_EQ(ta, "first thread");
    EXPECT_EQ(tb, "second thread");

    const std::vector<uint8_t> plane = testpics::Binarize(a);
    ASSERT_EQ(DecodeBinaryArray(plane.data(), a.width, a.height), 1);
    EXPECT_EQ(DataString(0), "first thread");
}

// Corners depend on each call's rectangle origin and resolution scales:
// threads decoding a square-pixel and a 200 x 100 dpi picture at once must
// each get the corners a lone decode of their picture gives.
TEST(PictureDecode, ThreadsDecodingAtOnceKeepTheirOwnCorners) {
    const testpics::Picture pic = SymbolPicture();
    const std::string square = testfiles::TempPath("square.bmp");
    testfiles::WriteBytes(square, testfiles::GreyBmp(pic.pixels, pic.width, pic.height));
    std::vector<uint8_t> halfRows;  // every second row, stretched back by the reader
    for (int y = 0; y < pic.height; y += 2)
        halfRows.insert(halfRows.end(), pic.pixels.begin() + y * pic.width, pic.pixels.begin() + (y + 1) * pic.width);
    const std::string wide = testfiles::TempPath("wide.bmp");
    testfiles::WriteBytes(wide, testfiles::GreyBmp(halfRows, pic.width, pic.height / 2, 7874, 3937));

    using Corners = std::array<int32_t, 8>;
    auto decode = [](const std::string& path, int rect, Corners& out) {
        const int count = rect ? DecodePictureFileRect(path.c_str(), 10, 5, 290, 250) : DecodePictureFile(path.c_str());
        LectavoPoint points[4] = {};
        if (count != 1 || GetSymbolePosition(0, points) != 0) return false;
        for (int i = 0; i < 4; ++i) out[2 * i] = points[i].x, out[2 * i + 1] = points[i].y;
        return true;
    };
    const std::string paths[2] = {square, wide};
    Corners alone[2][2];
    for (int p = 0; p < 2; ++p)
        for (int rect = 0; rect < 2; ++rect) ASSERT_TRUE(decode(paths[p], rect, alone[p][rect]));
    EXPECT_NE(alone[0][1], alone[1][1]);

    int mismatches[4] = {};
    std::vector<std::thread> threads;
    for (int t = 0; t < 4; ++t)
        threads.emplace_back([&, t] {
            Corners got;
            for (int i = 0; i < 20; ++i) {
                const int p = t % 2, rect = (t / 2 + i) % 2;
                if (!decode(paths[p], rect, got) || got != alone[p][rect]) ++mismatches[t];
            }
        });
    for (std::thread& t : threads) t.join();
    for (int t = 0; t < 4; ++t) EXPECT_EQ(mismatches[t], 0) << "thread " << t;
}
