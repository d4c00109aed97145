// Hostile picture files on Linux: headers announcing more than their file
// can hold, truncated files, things at the path that are not regular files,
// names that are not UTF-8, and a file shortened while it is read. Each gets
// its code at once, without allocating for the announced size.
#include <gtest/gtest.h>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <atomic>
#include <cstring>
#include <filesystem>
#include <thread>

#include "input/picture_reader.h"
#include "lying_headers.h"

using lectavo::GrayPicture;
using lectavo::ReadPicture;
using namespace testfiles;

namespace {

struct HostileFile {
    const char* name;
    std::vector<uint8_t> bytes;
    int code;
};

void PrintTo(const HostileFile& file, std::ostream* out) { *out << file.name; }

class HostileFiles : public testing::TestWithParam<HostileFile> {};

}  // namespace

// A header announcing a picture within the size limits that its file could
// not hold, one beyond the limits, or none at all: unreadable (-3), decided
// from the header alone.
TEST_P(HostileFiles, GiveTheirCode) {
    GrayPicture p;
    const std::string path = TempPath(GetParam().name);
    WriteBytes(path, GetParam().bytes);
    EXPECT_EQ(ReadPicture(path.c_str(), nullptr, p), GetParam().code);
    if (GetParam().code != 0) {
        EXPECT_FALSE(p.HasImage());
    }
}

INSTANTIATE_TEST_SUITE_P(
    Lying, HostileFiles,
    testing::Values(HostileFile{"png_16384.png", PngClaiming(16384, 16384), lectavo::kUnreadable},
                    HostileFile{"png_beyond_limit.png", PngClaiming(70000, 30), lectavo::kUnreadable},
                    HostileFile{"png_zero.png", PngClaiming(0, 30), lectavo::kUnreadable},
                    HostileFile{"gif_16000.gif", GifClaiming(16000, 16000), lectavo::kUnreadable},
                    HostileFile{"jpeg_16384.jpg", JpegClaiming(16384, 16384), lectavo::kUnreadable},
                    HostileFile{"jpeg_named.png", JpegClaiming(16384, 16384), lectavo::kUnreadable},
                    HostileFile{"bmp_2e31.bmp", BmpHeaderClaiming(0x80000000u, 0x80000000u), lectavo::kUnreadable},
                    HostileFile{"bmp_30000.bmp", BmpHeaderClaiming(30000, 30000), lectavo::kUnreadable},
                    HostileFile{"bmp_16000.bmp", BmpHeaderClaiming(16000, 16000), lectavo::kUnreadable},
                    HostileFile{"bmp_negative_width.bmp", BmpHeaderClaiming(static_cast<uint32_t>(-64), 64),
                                lectavo::kUnreadable},
                    HostileFile{"bmp_zero_height.bmp", BmpHeaderClaiming(64, 0), lectavo::kUnreadable},
                    HostileFile{"tiff_16000.tif", TiffClaiming(16000, 16000), lectavo::kUnreadable},
                    HostileFile{"webp_16383.webp", WebpClaiming(16383, 16383), lectavo::kUnreadable}));

INSTANTIATE_TEST_SUITE_P(Truncated, HostileFiles,
                         testing::Values(HostileFile{"half.png", Half(SmallPng()), lectavo::kUnreadable},
                                         HostileFile{"half.gif",
                                                     Half(MakeGif(40, 40, [](int x, int) { return x & 1; })),
                                                     lectavo::kUnreadable},
                                         HostileFile{"magic.png", {0x89, 'P', 'N', 'G'}, lectavo::kUnreadable},
                                         HostileFile{"empty.png", {}, lectavo::kUnreadable}));

// Only regular files are read. A folder is no file by that name (-1); a
// pipe or a device is not a picture file (-3), answered at once: a pipe
// without a writer would block an ordinary open, and a device may never
// end.
TEST(HostileFileKinds, OnlyRegularFilesAreRead) {
    GrayPicture p;
    for (const char* extension : {".bmp", ".jpg", ".png", ""}) {
        const std::string folder = TempPath(std::string("folder") + extension);
        std::filesystem::create_directories(folder);
        EXPECT_EQ(ReadPicture(folder.c_str(), nullptr, p), lectavo::kFileNotFound) << folder;
        const std::string pipe = TempPath(std::string("pipe") + extension);
        ASSERT_EQ(::mkfifo(pipe.c_str(), 0600), 0);
        EXPECT_EQ(ReadPicture(pipe.c_str(), nullptr, p), lectavo::kUnreadable) << pipe;
    }
    for (const char* device : {"/dev/null", "/dev/zero"})
        EXPECT_EQ(ReadPicture(device, nullptr, p), lectavo::kUnreadable);
}

// Paths are bytes: a name in Latin-1 reaches every reader unchanged.
TEST(HostileFileKinds, NamesThatAreNotUtf8) {
    const std::pair<const char*, std::vector<uint8_t>> files[] = {
        {"caf\xe9.png", SmallPng()},
        {"caf\xe9.bmp", GreyBmp(std::vector<uint8_t>(32 * 32, 9), 32, 32)},
        {"\xff\xfe.gif", MakeGif(32, 32, [](int x, int) { return x & 1; })},
    };
    GrayPicture p;
    for (const auto& [name, bytes] : files) {
        const std::string path = TempPath(name);
        WriteBytes(path, bytes);
        ASSERT_EQ(ReadPicture(path.c_str(), nullptr, p), 0) << path;
        EXPECT_EQ(p.width, 32) << path;
    }
}

// A file shortened and restored by another thread while it is read: each
// read gives the picture or a code, never a fault. The reads are counted,
// not timed.
TEST(HostileFileKinds, FileShrinkingWhileRead) {
    const std::vector<uint8_t> bmp = GreyBmp(std::vector<uint8_t>(512 * 512, 200), 512, 512);
    const std::vector<uint8_t> png = SmallPng();
    for (const auto& [name, bytes] : {std::pair{"shrinking.bmp", bmp}, std::pair{"shrinking.png", png}}) {
        const std::string path = TempPath(name);
        WriteBytes(path, bytes);
        std::atomic<bool> done{false};
        std::thread shrinker([&, bytes = bytes] {
            const int fd = ::open(path.c_str(), O_WRONLY);
            while (!done) {
                (void)::ftruncate(fd, 60);
                (void)::pwrite(fd, bytes.data(), bytes.size(), 0);
            }
            ::close(fd);
        });
        GrayPicture p;
        for (int i = 0; i < 200; ++i) {
            const int code = ReadPicture(path.c_str(), nullptr, p);
            EXPECT_TRUE(code == 0 || code == lectavo::kUnreadable) << code;
        }
        done = true;
        shrinker.join();
    }
}
