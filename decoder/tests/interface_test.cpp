// The exported interface: options, the per-thread result store, the getters
// and the position mapping. The exports are compiled into this test so that
// it can place known results in the calling thread's store.
#include <gtest/gtest.h>

#include <cstring>
#include <thread>

#include "decode_driver.h"
#include "decoder_options.h"
#include "lectavo.h"
#include "result_store.h"
#include "picture_files.h"

using lectavo::DecodeResult;

namespace {

DecodeResult Fake(int version, const char* text, size_t length, int x0) {
    DecodeResult r;
    r.version = version;
    r.level = 2;
    r.mask = 5;
    r.dataLength = static_cast<int32_t>(length);
    std::memcpy(r.data, text, length);
    const int corners[4][2] = {{x0, 10}, {x0 + 40, 11}, {x0 + 41, 51}, {x0 + 1, 50}};
    std::memcpy(r.corners, corners, sizeof corners);
    return r;
}

void Store(std::vector<DecodeResult> results) { lectavo::ThreadResults()->Assign(results); }

// A 400 x 300 light picture with square pixels unless told otherwise.
std::string LightBmp(const std::string& name, uint32_t ppmX = 3780, uint32_t ppmY = 3780) {
    const std::string path = testfiles::TempPath(name);
    testfiles::WriteBytes(path, testfiles::GreyBmp(std::vector<uint8_t>(400 * 300, 255), 400, 300, ppmX, ppmY));
    return path;
}

void ExpectNoResult(int32_t index) {
    unsigned char* data = nullptr;
    int32_t position = 7;
    unsigned char parity = 7;
    LectavoPoint corners[4] = {};
    EXPECT_EQ(GetDecodeData(index, &data), -1);
    EXPECT_EQ(data, nullptr);
    EXPECT_EQ(GetDecodeDataString(index), nullptr);
    EXPECT_EQ(GetDecodeDataByteArray(index), nullptr);
    EXPECT_EQ(GetDecodeVersion(index), -1);
    EXPECT_EQ(GetDecodeLevel(index), -1);
    EXPECT_EQ(GetDecodeMaskingNo(index), -1);
    EXPECT_EQ(GetConcatenationInfo(index, &position, &parity), -1);
    EXPECT_EQ(position, 7);
    EXPECT_EQ(parity, 7);
    EXPECT_EQ(GetSymbolePosition(index, corners), -1);
}

}  // namespace

TEST(Options, SettersClampTheirArguments) {
    SetDecodeSymbolCount(-7);
    EXPECT_EQ(lectavo::CurrentOptions().symbolCount, 0);
    SetDecodeSymbolCount(33);
    EXPECT_EQ(lectavo::CurrentOptions().symbolCount, 32);
    SetDecodeSymbolCount(5);
    EXPECT_EQ(lectavo::CurrentOptions().symbolCount, 5);
    SetDecodeEffectLevel(4);
    EXPECT_EQ(lectavo::CurrentOptions().effectLevel, 3);
    SetDecodeEffectLevel(1);
    EXPECT_EQ(lectavo::CurrentOptions().effectLevel, 1);
    SetDecodeEffectLevel(-1);
    EXPECT_EQ(lectavo::CurrentOptions().effectLevel, 3);
    SetMinimumModuleSize(0);
    EXPECT_EQ(lectavo::CurrentOptions().minimumModuleSize, 1);
    SetMinimumModuleSize(256);
    EXPECT_EQ(lectavo::CurrentOptions().minimumModuleSize, 1);
    SetMinimumModuleSize(259);
    EXPECT_EQ(lectavo::CurrentOptions().minimumModuleSize, 3);
    SetBrightnessBorder(300);
    EXPECT_EQ(lectavo::CurrentOptions().brightnessBorder, 44);
    SetBrightnessBorder(0);
    SetMinimumModuleSize(1);
    SetDecodeSymbolCount(0);
}

TEST(Getters, ReadTheStoredRecords) {
    const char bytes[] = {'a', 0, 'b', 'c'};
    DecodeResult second = Fake(7, bytes, sizeof bytes, 100);
    second.sequencePosition = 3;
    second.sequenceTotal = 4;
    second.sequenceParity = 0xA5;
    Store({Fake(2, "hello", 5, 0), second});

    EXPECT_EQ(GetDecodeVersion(1), 7);
    EXPECT_EQ(GetDecodeLevel(0), 2);
    EXPECT_EQ(GetDecodeMaskingNo(0), 5);
    unsigned char* inside = nullptr;
    EXPECT_EQ(GetDecodeData(0, &inside), 5);
    ASSERT_NE(inside, nullptr);
    EXPECT_STREQ(reinterpret_cast<char*>(inside), "hello");
    unsigned char buffer[8];
    std::memset(buffer, 0xEE, sizeof buffer);
    unsigned char* target = buffer;
    EXPECT_EQ(GetDecodeData(0, &target), 5);
    EXPECT_EQ(target, buffer);
    EXPECT_EQ(std::memcmp(buffer, "hello", 6), 0);
    EXPECT_EQ(buffer[6], 0xEE) << "length + 1 bytes only";

    BSTR text = GetDecodeDataString(1);
    ASSERT_NE(text, nullptr);
    EXPECT_EQ(SysStringByteLen(text), 4u);
    EXPECT_EQ(std::memcmp(text, bytes, 4), 0) << "zero bytes inside are kept";
    EXPECT_EQ(reinterpret_cast<unsigned char*>(text)[4], 0);
    EXPECT_EQ(reinterpret_cast<unsigned char*>(text)[5], 0);
    SysFreeString(text);

    SAFEARRAY* array = GetDecodeDataByteArray(1);
    ASSERT_NE(array, nullptr);
    int32_t lower = -1, upper = -1;
    EXPECT_EQ(SafeArrayGetLBound(array, 1, &lower), 0);
    EXPECT_EQ(SafeArrayGetUBound(array, 1, &upper), 0);
    EXPECT_EQ(lower, 0);
    EXPECT_EQ(upper, 3);
    EXPECT_NE(SafeArrayGetUBound(array, 2, &upper), 0);
    void* data = nullptr;
    EXPECT_EQ(SafeArrayAccessData(array, &data), 0);
    EXPECT_EQ(std::memcmp(data, bytes, 4), 0);
    EXPECT_NE(SafeArrayDestroy(array), 0) << "still accessed";
    EXPECT_EQ(SafeArrayUnaccessData(array), 0);
    EXPECT_NE(SafeArrayUnaccessData(array), 0) << "unbalanced";
    EXPECT_EQ(SafeArrayDestroy(array), 0);

    int32_t position = -1;
    unsigned char parity = 0;
    EXPECT_EQ(GetConcatenationInfo(1, &position, &parity), 4);
    EXPECT_EQ(position, 3);
    EXPECT_EQ(parity, 0xA5);
    EXPECT_EQ(GetConcatenationInfo(0, &position, &parity), 0);
    EXPECT_EQ(position, 0);
    EXPECT_EQ(parity, 0);

    ExpectNoResult(2);
    ExpectNoResult(-1);
    EXPECT_EQ(GetDecodeData(0, nullptr), -1);
    EXPECT_EQ(GetSymbolePosition(0, nullptr), -1);

    FreeAllocateMemory();
    ExpectNoResult(0);
}

TEST(Getters, FailedDecodeCallsEmptyTheStore) {
    const std::string light = LightBmp("light.bmp");
    Store({Fake(1, "x", 1, 0)});
    EXPECT_EQ(DecodePictureFile(testfiles::TempPath("missing.bmp").c_str()), -1);
    ExpectNoResult(0);
    Store({Fake(1, "x", 1, 0)});
    EXPECT_EQ(DecodePictureFile(light.c_str()), 0);
    ExpectNoResult(0);
    Store({Fake(1, "x", 1, 0)});
    EXPECT_EQ(DecodePictureFile(nullptr), -1);
    ExpectNoResult(0);
    Store({Fake(1, "x", 1, 0)});
    EXPECT_EQ(DecodeGrayScaleArray(nullptr, 30, 30), 0);
    ExpectNoResult(0);
    const std::vector<uint8_t> grey(30 * 30, 128);
    Store({Fake(1, "x", 1, 0)});
    EXPECT_EQ(DecodeBinaryArray(grey.data(), 30, 30), 0);
    ExpectNoResult(0);
    EXPECT_EQ(DecodeGrayScaleArray(grey.data(), -30, 30), 0);
    EXPECT_EQ(DecodeGrayScaleArray(grey.data(), 30, 0), 0);
    EXPECT_EQ(DecodeGrayScaleArray(grey.data(), 30, 30), 0);
}

TEST(Position, RectangleCornersAreNormalisedAndAddedBack) {
    const std::string path = LightBmp("rect.bmp");
    EXPECT_EQ(lectavo::RectFromCorners(200, 150, 10, 20).left, 10);
    EXPECT_EQ(lectavo::RectFromCorners(200, 150, 10, 20).top, 20);
    EXPECT_EQ(lectavo::RectFromCorners(200, 150, 10, 20).right, 200);
    EXPECT_EQ(lectavo::RectFromCorners(200, 150, 10, 20).bottom, 150);
    EXPECT_EQ(DecodePictureFileRect(path.c_str(), 200, 150, 10, 20), 0);
    Store({Fake(1, "x", 1, 5)});
    LectavoPoint corners[4];
    ASSERT_EQ(GetSymbolePosition(0, corners), 0);
    EXPECT_EQ(corners[0].x, 15);
    EXPECT_EQ(corners[0].y, 30);
    EXPECT_EQ(corners[2].x, 56);
    EXPECT_EQ(corners[2].y, 71);

    // 15 pixels wide, outside, and negative corners clipped to the picture.
    EXPECT_EQ(DecodePictureFileRect(path.c_str(), 10, 10, 25, 200), 0);
    EXPECT_EQ(DecodePictureFileRect(path.c_str(), 500, 10, 600, 200), 0);
    EXPECT_EQ(DecodePictureFileRect(path.c_str(), -50, -60, 100, 100), 0);
    Store({Fake(1, "x", 1, 5)});
    ASSERT_EQ(GetSymbolePosition(0, corners), 0);
    EXPECT_EQ(corners[0].x, 5);
    EXPECT_EQ(corners[0].y, 10);
}

TEST(Position, ResampledPicturesAreScaledBack) {
    EXPECT_EQ(DecodePictureFile(LightBmp("dpi.bmp", 7874, 3937).c_str()), 0);
    EXPECT_EQ(lectavo::ThreadResults()->Mapping().scaleY, 2.0f);
    EXPECT_EQ(lectavo::ThreadResults()->Mapping().scaleX, 1.0f);
    DecodeResult r = Fake(1, "x", 1, 7);
    r.corners[3][1] = 101;
    Store({r});
    LectavoPoint corners[4];
    ASSERT_EQ(GetSymbolePosition(0, corners), 0);
    EXPECT_EQ(corners[0].x, 7);
    EXPECT_EQ(corners[0].y, 5);
    EXPECT_EQ(corners[1].y, 5);  // 11 / 2 truncated
    EXPECT_EQ(corners[3].y, 50);

    // A rectangle of a resampled picture: the origin is in picture pixels.
    EXPECT_EQ(DecodePictureFileRect(LightBmp("dpi.bmp", 7874, 3937).c_str(), 30, 40, 300, 200), 0);
    Store({r});
    ASSERT_EQ(GetSymbolePosition(0, corners), 0);
    EXPECT_EQ(corners[0].x, 37);
    EXPECT_EQ(corners[0].y, 45);
}

TEST(Threads, EachThreadKeepsItsOwnResults) {
    FreeAllocateMemory();
    auto worker = [](int version, bool& ok) {
        lectavo::ThreadResults()->Assign({Fake(version, "t", 1, 0)});
        for (int i = 0; i < 2000; ++i) {
            if (GetDecodeVersion(0) != version) return;
            if (i % 100 == 0) lectavo::ThreadResults()->Assign({Fake(version, "t", 1, i)});
        }
        ok = GetDecodeVersion(1) == -1;
    };
    bool ok1 = false, ok2 = false;
    std::thread a(worker, 11, std::ref(ok1)), b(worker, 22, std::ref(ok2));
    a.join();
    b.join();
    EXPECT_TRUE(ok1);
    EXPECT_TRUE(ok2);
    ExpectNoResult(0);  // this thread saw none of theirs
}
