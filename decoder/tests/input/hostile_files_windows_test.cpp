// The picture readers on Windows (file mapping, the Windows Imaging
// Component) face the same hostile files as on Linux and give the same
// codes; a file another process holds without sharing gives -4.
#include <gtest/gtest.h>

#include <windows.h>

#include "picture_files.h"
#include "input/picture_reader.h"

using lectavo::GrayPicture;
using lectavo::ReadPicture;
using namespace testfiles;

namespace {

std::string Write(const std::string& name, const std::vector<uint8_t>& bytes) {
    const std::string path = TempPath(name);
    WriteBytes(path, bytes);
    return path;
}

std::vector<uint8_t> HalfDarkBmp() {
    BmpLayout s;
    s.width = 64;
    s.height = 64;
    s.bitCount = 24;
    s.pixel = [](int x, int) -> uint32_t { return x < 32 ? 0 : 0xFFFFFF; };
    return MakeBmp(s);
}

}  // namespace

TEST(HostileFilesWindows, DamagedBmpFilesNeverReadPastTheirEnd) {
    const std::vector<uint8_t> whole = HalfDarkBmp();
    GrayPicture p;
    for (size_t size : {size_t{0}, size_t{10}, size_t{53}, size_t{54}, whole.size() / 2, whole.size() - 1}) {
        const std::vector<uint8_t> cut(whole.begin(), whole.begin() + static_cast<long>(size));
        const int code = ReadPicture(Write("cut.bmp", cut).c_str(), nullptr, p);
        EXPECT_TRUE(code == 0 || code == lectavo::kUnreadable) << size << ": " << code;
    }
    std::vector<uint8_t> bad = whole;
    Put32(bad, 14, 0x7FFFFFF0);  // header running past the end
    EXPECT_EQ(ReadPicture(Write("header.bmp", bad).c_str(), nullptr, p), lectavo::kUnreadable);
    bad = whole;
    Put32(bad, 18, 0x7FFFFFFF);  // absurd width
    EXPECT_EQ(ReadPicture(Write("wide.bmp", bad).c_str(), nullptr, p), lectavo::kUnreadable);

    WriteBytes(TempPath("text.png"), std::vector<uint8_t>(100, 'x'));
    EXPECT_EQ(ReadPicture(TempPath("text.png").c_str(), nullptr, p), lectavo::kUnreadable);
    WriteBytes(TempPath("text.jpeg"), std::vector<uint8_t>(100, 'x'));
    EXPECT_EQ(ReadPicture(TempPath("text.jpeg").c_str(), nullptr, p), lectavo::kUnreadable);
}

TEST(HostileFilesWindows, MissingAndLockedFiles) {
    GrayPicture p;
    for (const char* name : {"absent.bmp", "absent.jpg", "absent.png", "absent"})
        EXPECT_EQ(ReadPicture(TempPath(name).c_str(), nullptr, p), lectavo::kFileNotFound) << name;
    EXPECT_EQ(ReadPicture((TempPath("absent") + "/x.bmp").c_str(), nullptr, p), lectavo::kFileNotFound);
    // A folder is no file by that name, whatever its extension.
    for (const char* name : {"folder.bmp", "folder.jpg", "folder.png"}) {
        CreateDirectoryA(TempPath(name).c_str(), nullptr);
        EXPECT_EQ(ReadPicture(TempPath(name).c_str(), nullptr, p), lectavo::kFileNotFound) << name;
    }

    for (const char* name : {"locked.bmp", "locked.jpg", "locked.png"}) {
        const std::string path = Write(name, HalfDarkBmp());
        HANDLE held = CreateFileA(path.c_str(), GENERIC_READ | GENERIC_WRITE, 0, nullptr, OPEN_EXISTING, 0, nullptr);
        ASSERT_NE(held, INVALID_HANDLE_VALUE);
        EXPECT_EQ(ReadPicture(path.c_str(), nullptr, p), lectavo::kSharingViolation) << name;
        CloseHandle(held);
        EXPECT_EQ(ReadPicture(path.c_str(), nullptr, p), 0) << name;  // any extension: the content decides
    }
}

TEST(HostileFilesWindows, ImagingComponentReadsGifAndResolutions) {
    GrayPicture p;
    const auto gif = MakeGif(40, 30, [](int x, int) { return x >= 20 ? 1 : 0; });
    ASSERT_EQ(ReadPicture(Write("bars.gif", gif).c_str(), nullptr, p), 0);
    EXPECT_EQ(p.width, 40);
    EXPECT_EQ(p.height, 30);
    EXPECT_LT(p.pixels[0], 64);
    EXPECT_GT(p.pixels[39], 192);

    // 200 x 100 dots per inch: the BMP reader passes it on, the general
    // loader stretches it to twice as many rows.
    const std::vector<uint8_t> grey(40 * 30, 0);
    ASSERT_EQ(ReadPicture(Write("wide.dib", GreyBmp(grey, 40, 30, 7874, 3937)).c_str(), nullptr, p), 0);
    EXPECT_EQ(p.width, 40);
    EXPECT_EQ(p.height, 60);
    EXPECT_EQ(p.scaleY, 2.0f);
}
