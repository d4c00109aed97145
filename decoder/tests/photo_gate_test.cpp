// The photo gate: every photo of testdata/qr-photos that has an expected
// text, as it is and turned by 90, 180 and 270 degrees, decoded through the
// built library's exports. Each folder must read at least as many pictures at
// each turn as the minimums below, so a change that loses photos fails here.
#include <gtest/gtest.h>

#include <iconv.h>

#include <algorithm>
#include <array>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <set>
#include <string>
#include <vector>

#include "image/image_file.h"
#include "lectavo_calls.h"

namespace {

constexpr std::array<int, 4> kTurns = {0, 90, 180, 270};

// Pictures read per turn (0, 90, 180, 270 degrees), at the level the decoder
// reaches today; raise them when it reads more.
struct FolderMinimum {
    const char* folder;
    std::array<int, 4> read;
};

void PrintTo(const FolderMinimum& minimum, std::ostream* out) { *out << minimum.folder; }

constexpr FolderMinimum kMinimums[] = {
    {"qrcode-1", {8, 8, 8, 8}},     {"qrcode-2", {24, 23, 23, 22}}, {"qrcode-3", {14, 14, 14, 14}},
    {"qrcode-4", {21, 21, 21, 21}}, {"qrcode-5", {8, 8, 8, 8}},     {"qrcode-6", {8, 8, 8, 8}},
    {"qrcode-7", {4, 4, 4, 4}},
};

// Symbols whose data are Shift_JIS; their expected texts are UTF-8.
const std::set<std::string> kShiftJis = {"qrcode-2/10", "qrcode-2/16", "qrcode-2/18",
                                         "qrcode-2/21", "qrcode-2/27", "qrcode-2/29"};

struct Photo {
    std::string path;
    std::string name;      // folder/stem, for messages
    std::string expected;  // UTF-8
    bool partOfMerged;     // one symbol of a structured-append set: its text is part of the merged one
    bool shiftJis;
};

bool ReadFile(const std::filesystem::path& path, std::string& bytes) {
    std::ifstream in(path, std::ios::binary);
    if (!in) return false;
    bytes.assign(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
    return true;
}

// The pictures of one folder with their expected texts: NAME.txt, or for a
// picture NAME-k of a structured-append set the merged NAME.txt.
std::vector<Photo> PhotosIn(const std::string& folder) {
    namespace fs = std::filesystem;
    const fs::path dir = fs::path(QR_SOURCE_DIR "/testdata/qr-photos") / folder;
    std::vector<fs::path> pictures;
    for (const auto& entry : fs::directory_iterator(dir)) {
        const std::string extension = entry.path().extension().string();
        if (entry.is_regular_file() && (extension == ".png" || extension == ".jpg" || extension == ".jpeg" ||
                                        extension == ".gif" || extension == ".bmp"))
            pictures.push_back(entry.path());
    }
    std::sort(pictures.begin(), pictures.end());
    std::vector<Photo> photos;
    for (const fs::path& file : pictures) {
        const std::string stem = file.stem().string();
        Photo photo{file.string(), folder + "/" + stem, {}, false, kShiftJis.count(folder + "/" + stem) > 0};
        if (!ReadFile(dir / (stem + ".txt"), photo.expected)) {
            const size_t dash = stem.rfind('-');
            if (dash == std::string::npos || dash == 0 ||
                !ReadFile(dir / (stem.substr(0, dash) + ".txt"), photo.expected))
                continue;
            photo.partOfMerged = true;
        }
        photos.push_back(std::move(photo));
    }
    return photos;
}

// CP932 rather than SHIFT_JIS: the expected texts read 0x5C as a backslash,
// which glibc's SHIFT_JIS turns into a yen sign.
std::string ShiftJisToUtf8(const std::string& raw) {
    iconv_t cd = iconv_open("UTF-8", "CP932");
    if (cd == reinterpret_cast<iconv_t>(-1)) return raw;
    std::string in = raw, out(raw.size() * 3 + 4, '\0');
    char* inPtr = in.data();
    char* outPtr = out.data();
    size_t inLeft = in.size(), outLeft = out.size();
    const bool ok = iconv(cd, &inPtr, &inLeft, &outPtr, &outLeft) != static_cast<size_t>(-1);
    iconv_close(cd);
    return ok ? out.substr(0, out.size() - outLeft) : raw;
}

// The picture turned clockwise by `degrees`, in grey as the decoder's
// general loader converts colours (alpha ignored).
std::vector<uint8_t> TurnedGrey(const std::string& path, int degrees, int& width, int& height) {
    platform::ImageFile image;
    if (image.Load(path, 65535, int64_t{1} << 28) != platform::ImageStatus::kOk) return {};
    const int w = image.Width(), h = image.Height();
    const bool across = degrees == 90 || degrees == 270;
    width = across ? h : w;
    height = across ? w : h;
    std::vector<uint8_t> grey(static_cast<size_t>(w) * static_cast<size_t>(h));
    std::vector<uint32_t> row(static_cast<size_t>(w));
    for (int y = 0; y < h; ++y) {
        image.ReadRow(y, 0, w, row.data());
        for (int x = 0; x < w; ++x) {
            const uint32_t argb = row[static_cast<size_t>(x)];
            // Where picture pixel (x, y) lands in the turned picture.
            int tx = x, ty = y;
            if (degrees == 90) tx = h - 1 - y, ty = x;
            if (degrees == 180) tx = w - 1 - x, ty = h - 1 - y;
            if (degrees == 270) tx = y, ty = w - 1 - x;
            grey[static_cast<size_t>(ty) * static_cast<size_t>(width) + static_cast<size_t>(tx)] = static_cast<uint8_t>(
                (77 * ((argb >> 16) & 0xFF) + 150 * ((argb >> 8) & 0xFF) + 29 * (argb & 0xFF)) >> 8);
        }
    }
    return grey;
}

bool Reads(const testpics::Lectavo& lib, const Photo& photo, int degrees) {
    int found;
    if (degrees == 0) {
        found = lib.decodePictureFile(photo.path.c_str());
    } else {
        int width = 0, height = 0;
        const std::vector<uint8_t> grey = TurnedGrey(photo.path, degrees, width, height);
        if (grey.empty()) return false;
        found = lib.decodeGrayScaleArray(grey.data(), width, height);
    }
    for (int i = 0; i < found; ++i) {
        const std::string data = photo.shiftJis ? ShiftJisToUtf8(lib.Data(i)) : lib.Data(i);
        if (data == photo.expected ||
            (photo.partOfMerged && !data.empty() && photo.expected.find(data) != std::string::npos))
            return true;
    }
    return false;
}

class PhotoGate : public testing::TestWithParam<FolderMinimum> {};

TEST_P(PhotoGate, ReadsAtLeastTodaysCountAtEveryTurn) {
    const testpics::Lectavo lib;
    lib.setDecodeSymbolCount(32);  // every symbol of a picture, as the photo report reads them

    const FolderMinimum& minimum = GetParam();
    const std::vector<Photo> photos = PhotosIn(minimum.folder);
    ASSERT_FALSE(photos.empty()) << "no photos for " << minimum.folder;
    for (size_t turn = 0; turn < kTurns.size(); ++turn) {
        int read = 0;
        std::string missed;
        for (const Photo& photo : photos) {
            if (Reads(lib, photo, kTurns[turn])) {
                ++read;
            } else {
                missed += " " + photo.name;
            }
        }
        EXPECT_GE(read, minimum.read[turn]) << kTurns[turn] << " degrees, not read:" << missed;
        std::printf("%s at %d degrees: %d of %zu read\n", minimum.folder, kTurns[turn], read, photos.size());
    }
}

std::string FolderTestName(const testing::TestParamInfo<FolderMinimum>& info) {
    std::string name = info.param.folder;
    for (char& c : name) {
        if (c == '-') c = '_';
    }
    return name;
}

INSTANTIATE_TEST_SUITE_P(Folders, PhotoGate, testing::ValuesIn(kMinimums), FolderTestName);

}  // namespace
