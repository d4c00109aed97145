// BMP, WMF, enhanced-metafile and pattern outputs: file layouts, failure
// paths, and that the written pictures read back as the symbol.
#include <gtest/gtest.h>
#include <ZXing/ReadBarcode.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <iterator>
#include <memory>
#include <regex>
#include <string>
#include <vector>

#include "drawing.h"
#include "encode_symbol.h"
#include "gdi/emf_recorder.h"
#include "outputs.h"
#include "settings.h"

namespace {

using namespace mosaire;

using Bytes = std::vector<uint8_t>;
uint32_t U16(const Bytes& b, size_t at) { return b[at] | b[at + 1] << 8; }
uint32_t U32(const Bytes& b, size_t at) { return U16(b, at) | U16(b, at + 2) << 16; }

Bytes ReadAll(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), {}};
}

// A written BMP, pixels read through its colour table, rows top-down.
struct Bmp {
    Bytes file;
    int width = 0, height = 0, bits = 0;
    uint32_t Rgb(int x, int y) const {
        const uint32_t offset = U32(file, 10);
        const int64_t rowBytes = (int64_t{bits} * width + 31) / 32 * 4;
        const uint8_t byte = file[offset + (height - 1 - y) * rowBytes + x * bits / 8];
        const int index = bits == 1 ? (byte >> (7 - x % 8)) & 1 : (x % 2 == 0 ? byte >> 4 : byte & 15);
        const size_t entry = 54 + 4 * size_t(index);
        return file[entry + 2] << 16 | file[entry + 1] << 8 | file[entry];
    }
    std::string Decode() const {
        std::vector<uint8_t> grey(size_t(width) * height);
        for (int y = 0; y < height; ++y)
            for (int x = 0; x < width; ++x) grey[size_t(y) * width + x] = Rgb(x, y) == 0xFFFFFF ? 255 : 0;
        const auto r = ZXing::ReadBarcode(ZXing::ImageView(grey.data(), width, height, ZXing::ImageFormat::Lum),
                                          ZXing::DecodeHints().setFormats(ZXing::BarcodeFormat::QRCode));
        return r.isValid() ? std::string(r.bytes().begin(), r.bytes().end()) : "<none>";
    }
};

Bmp LoadBmp(const std::string& path) {
    Bmp b;
    b.file = ReadAll(path);
    if (b.file.size() < 54) return b;
    b.width = int(U32(b.file, 18));
    b.height = int(U32(b.file, 22));
    b.bits = int(U16(b.file, 28));
    return b;
}

class Outputs : public ::testing::Test {
protected:
    void SetUp() override {
        char tmpl[] = "/tmp/outputs_test_XXXXXX";
        ASSERT_NE(mkdtemp(tmpl), nullptr);
        dir_ = tmpl;
        // The programs' settings.
        SetDefault(*s);
        SetMessage(*s, "Hello, outputs");
        SetBackColor(*s, 255, 255, 255);
        SetBarColor(*s, 0, 0, 0);
        Appearance(*s, 0.2, 1, 0);
        SetSize(*s, 500, 500);
    }
    void TearDown() override { std::system(("rm -rf '" + dir_ + "'").c_str()); }
    std::string Path(const char* name) const { return dir_ + "/" + name; }

    std::string dir_;
    std::unique_ptr<EncoderSettings> s = std::make_unique<EncoderSettings>();
    int Side() const { return EncodeSymbol(*s).matrix->side; }
};

TEST_F(Outputs, ProgramSettingsGiveOneBitBmpThatDecodes) {
    const std::string path = Path("a.bmp");
    ASSERT_TRUE(SaveAsBmp(*s, path.c_str()));
    const Bmp b = LoadBmp(path);
    ASSERT_EQ(b.file.size(), 32062u);
    EXPECT_EQ(U16(b.file, 0), 0x4D42u);
    EXPECT_EQ(U32(b.file, 2), 32062u);
    EXPECT_EQ(U32(b.file, 6), 0u);
    EXPECT_EQ(U32(b.file, 10), 62u);
    EXPECT_EQ(U32(b.file, 14), 40u);
    EXPECT_EQ(b.width, 500);
    EXPECT_EQ(b.height, 500);
    EXPECT_EQ(U16(b.file, 26), 1u);
    EXPECT_EQ(b.bits, 1);
    EXPECT_EQ(U32(b.file, 34), 32000u);
    for (size_t at : {30, 38, 42, 46, 50}) EXPECT_EQ(U32(b.file, at), 0u) << at;
    EXPECT_EQ(U32(b.file, 54), 0x000000u);  // colour table black, white
    EXPECT_EQ(U32(b.file, 58), 0xFFFFFFu);
    EXPECT_EQ(b.Decode(), "Hello, outputs");
    // Rows are stored bottom-up: the finder centres of the upright symbol
    // sit top-left and top-right.
    const int n = Side(), origin = (500 - n * 8) / 2;
    EXPECT_EQ(b.Rgb(origin + 3 * 8 + 4, origin + 3 * 8 + 4), 0u);
    EXPECT_EQ(b.Rgb(origin + (n - 4) * 8 + 4, origin + 3 * 8 + 4), 0u);
    EXPECT_EQ(b.Rgb(origin + (n - 6) * 8 + 4, origin + 1 * 8 + 4), 0xFFFFFFu);
}

TEST_F(Outputs, OtherColoursGiveFourBitsWithNearestPaletteEntries) {
    SetBarColor(*s, 255, 0, 0);
    const std::string path = Path("red.bmp");
    ASSERT_TRUE(SaveAsBmp(*s, path.c_str()));
    const Bmp b = LoadBmp(path);
    ASSERT_EQ(b.file.size(), 126118u);
    EXPECT_EQ(U32(b.file, 10), 118u);
    EXPECT_EQ(U32(b.file, 34), 126000u);
    EXPECT_EQ(b.bits, 4);
    const int origin = (500 - (Side()) * 8) / 2;
    EXPECT_EQ(b.Rgb(origin + 4, origin + 4), 0xFF0000u);
    EXPECT_EQ(b.Rgb(2, 2), 0xFFFFFFu);
    // Back colour with red component out of range: still 4 bits.
    SetBarColor(*s, 0, 0, 0);
    SetBackColor(*s, 256, 255, 255);
    EXPECT_EQ(BmpBitsPerPixel(*s), 4);
}

TEST_F(Outputs, OnePixelWideBmpKeepsFourByteRows) {
    SetSize(*s, 1, 10);
    const std::string path = Path("thin.bmp");
    ASSERT_TRUE(SaveAsBmp(*s, path.c_str()));
    const Bytes f = ReadAll(path);
    EXPECT_EQ(f.size(), 62u + 4 * 10);
    EXPECT_EQ(U32(f, 34), 40u);
}

TEST_F(Outputs, UnencodableMessageStillWritesTheBlankSurface) {
    SetMessage(*s, std::string(3000, 'a').c_str());
    const std::string path = Path("blank.bmp");
    ASSERT_TRUE(SaveAsBmp(*s, path.c_str()));
    const Bmp b = LoadBmp(path);
    ASSERT_EQ(b.file.size(), 32062u);
    for (int y = 0; y < 500; ++y)
        for (int x = 0; x < 500; ++x) ASSERT_EQ(b.Rgb(x, y), 0xFFFFFFu);
}

TEST_F(Outputs, FailedSavesKeepTheOldFile) {
    const std::string path = Path("old.bmp");
    std::ofstream(path) << "old";
    for (auto [width, height] : {std::pair{0, 100}, {-5, 7}, {40000, 100}, {100, 40000}}) {
        s->width = width;
        s->height = height;
        EXPECT_FALSE(SaveAsBmp(*s, path.c_str())) << width << " x " << height;
        EXPECT_EQ(ReadAll(path), Bytes({'o', 'l', 'd'}));
    }
    if (geteuid() == 0) GTEST_SKIP() << "root writes into any folder (scripts/test runs this as nobody too)";
    SetSize(*s, 100, 100);
    const std::string wmf = Path("old.wmf");
    std::ofstream(wmf) << "old";
    ASSERT_EQ(chmod(dir_.c_str(), 0555), 0);
    EXPECT_FALSE(SaveAsBmp(*s, path.c_str()));
    EXPECT_FALSE(SaveAsWmf(*s, wmf.c_str()));
    chmod(dir_.c_str(), 0755);
    EXPECT_EQ(ReadAll(path), Bytes({'o', 'l', 'd'}));
    EXPECT_EQ(ReadAll(wmf), Bytes({'o', 'l', 'd'}));
}

TEST_F(Outputs, MissingFolderFailsBothFileOutputs) {
    EXPECT_FALSE(SaveAsBmp(*s, Path("missing/a.bmp").c_str()));
    EXPECT_FALSE(SaveAsWmf(*s, Path("missing/a.wmf").c_str()));
    EXPECT_FALSE(SaveAsBmp(*s, nullptr));
    EXPECT_FALSE(SaveAsWmf(*s, nullptr));
}

TEST_F(Outputs, PlaceableWmfHeaderBytes) {
    SetSize(*s, 500, 300);
    const Bytes expected = {0xD7, 0xCD, 0xC6, 0x9A, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0xF4,
                            0x01, 0x2C, 0x01, 0x60, 0x00, 0x00, 0x00, 0x00, 0x00, 0xA9, 0x57};
    EXPECT_EQ(PlaceableWmfHeader(s->width, s->height), expected);
    const std::string path = Path("a.wmf");
    ASSERT_TRUE(SaveAsWmf(*s, path.c_str()));
    const Bytes f = ReadAll(path);
    ASSERT_GT(f.size(), 22u + 18u);
    EXPECT_EQ(Bytes(f.begin(), f.begin() + 22), expected);
    EXPECT_EQ(U32(f, 22 + 6) * 2, f.size() - 22);  // metafile size in words
}

TEST_F(Outputs, UnencodableWmfHoldsOnlyExtentAndOrigin) {
    SetMessage(*s, std::string(3000, 'a').c_str());
    const std::string path = Path("empty.wmf");
    ASSERT_TRUE(SaveAsWmf(*s, path.c_str()));
    const Bytes f = ReadAll(path);
    ASSERT_EQ(f.size(), 22u + 18 + 10 + 10 + 6);
    EXPECT_EQ(U16(f, 40 + 4), 0x020Cu);
    EXPECT_EQ(U16(f, 50 + 4), 0x020Bu);
    EXPECT_EQ(U16(f, 60 + 4), 0x0000u);
}

bool HaveTool(const char* name) {
    return std::system((std::string("command -v ") + name + " >/dev/null 2>&1").c_str()) == 0;
}

std::string ReadText(const std::string& path) {
    const Bytes b = ReadAll(path);
    return std::string(b.begin(), b.end());
}

// A real metafile reader draws the WMF; its rectangles, painted in order,
// give the same colour as the BMP at the centre of every module.
TEST_F(Outputs, WmfRendersInLibwmfLikeTheBmp) {
    if (!HaveTool("wmf2svg") || !HaveTool("wmf2gd")) GTEST_SKIP() << "libwmf tools missing";
    Appearance(*s, 0.2, 0, 2);
    SetSize(*s, 400, 300);
    const std::string wmf = Path("a.wmf"), bmp = Path("a.bmp");
    ASSERT_TRUE(SaveAsWmf(*s, wmf.c_str()));
    ASSERT_TRUE(SaveAsBmp(*s, bmp.c_str()));
    ASSERT_EQ(std::system(("wmf2gd -o '" + Path("a.png") + "' '" + wmf + "' >/dev/null 2>&1").c_str()), 0);
    EXPECT_GT(ReadAll(Path("a.png")).size(), 100u);
    ASSERT_EQ(std::system(("wmf2svg -o '" + Path("a.svg") + "' '" + wmf + "' >/dev/null 2>&1").c_str()), 0);

    struct Rect {
        double x, y, w, h;
        bool dark;
    };
    std::vector<Rect> rects;
    const std::string svg = ReadText(Path("a.svg"));
    const std::regex rect(
        R"re(<rect x="([-0-9.]+)" y="([-0-9.]+)" width="([-0-9.]+)" height="([-0-9.]+)"\s*style="[^"]*fill:(\w+);)re");
    for (auto it = std::sregex_iterator(svg.begin(), svg.end(), rect); it != std::sregex_iterator(); ++it) {
        const auto& m = *it;
        rects.push_back({std::stod(m[1]), std::stod(m[2]), std::stod(m[3]), std::stod(m[4]), m[5] == "black"});
    }
    const Bmp b = LoadBmp(bmp);
    const int n = Side();
    const int originX = (400 - n * 8) / 2, originY = (300 - n * 8) / 2;
    int darkModules = 0;
    for (int y = 0; y < n; ++y)
        for (int x = 0; x < n; ++x) darkModules += b.Rgb(originX + x * 8 + 4, originY + y * 8 + 4) == 0;
    ASSERT_EQ(int(rects.size()), 1 + darkModules);
    for (int y = 0; y < n; ++y) {
        for (int x = 0; x < n; ++x) {
            const double cx = originX + x * 8 + 4, cy = originY + y * 8 + 4;
            bool dark = false;
            for (const Rect& r : rects)
                if (cx >= r.x && cx < r.x + r.w && cy >= r.y && cy < r.y + r.h) dark = r.dark;
            ASSERT_EQ(dark, b.Rgb(int(cx), int(cy)) == 0) << x << ", " << y;
        }
    }
    // The solid frame's four lines, in black.
    const std::regex line(R"re(<line [^>]*stroke:black)re");
    EXPECT_EQ(std::distance(std::sregex_iterator(svg.begin(), svg.end(), line), std::sregex_iterator()), 4);
}

TEST_F(Outputs, EnhancedMetafileRecordsTheDrawing) {
    SetSize(*s, 500, 300);
    Bytes e = RecordEnhancedMetafile(*s);
    ASSERT_GE(e.size(), platform::kEmrHeaderSize);
    EXPECT_EQ(U32(e, 48), e.size());
    EXPECT_EQ(U32(e, 16), 499u);
    EXPECT_EQ(U32(e, 20), 299u);
    std::vector<uint32_t> types;
    int rectangles = 0;
    for (size_t at = 0; at + 8 <= e.size(); at += U32(e, at + 4)) {
        types.push_back(U32(e, at));
        rectangles += types.back() == platform::kEmrRectangle;
    }
    ASSERT_GE(types.size(), 5u);
    EXPECT_EQ((std::vector<uint32_t>(types.begin(), types.begin() + 4)),
              (std::vector<uint32_t>{platform::kEmrHeader, platform::kEmrSetMapMode, platform::kEmrSetWindowExtEx,
                                     platform::kEmrSetWindowOrgEx}));
    EXPECT_EQ(types.back(), platform::kEmrEof);
    EXPECT_EQ(U32(e, 52), types.size());
    const EncodedSymbol symbol = EncodeSymbol(*s);
    const ModuleMatrix* matrix = symbol.matrix.get();
    int dark = 0;
    for (int r = 0; r < matrix->side; ++r)
        for (int k = 0; k < matrix->side; ++k) dark += matrix->value[r][k];
    EXPECT_EQ(rectangles, 1 + dark);

    SetMessage(*s, std::string(3000, 'a').c_str());
    e = RecordEnhancedMetafile(*s);
    types.clear();
    for (size_t at = 0; at + 8 <= e.size(); at += U32(e, at + 4)) types.push_back(U32(e, at));
    EXPECT_EQ(types, (std::vector<uint32_t>{1, 17, 9, 10, 14}));
}

TEST_F(Outputs, ClipboardWithoutDisplayFails) {
    const std::string display = std::getenv("DISPLAY") ? std::getenv("DISPLAY") : "";
    const std::string wayland = std::getenv("WAYLAND_DISPLAY") ? std::getenv("WAYLAND_DISPLAY") : "";
    unsetenv("DISPLAY");
    unsetenv("WAYLAND_DISPLAY");
    EXPECT_FALSE(CopyToClipboard(*s));
    if (!display.empty()) setenv("DISPLAY", display.c_str(), 1);
    if (!wayland.empty()) setenv("WAYLAND_DISPLAY", wayland.c_str(), 1);
}

TEST_F(Outputs, PatternDataTwoCallProtocolWhateverTheOrientation) {
    SetMessage(*s, "12");
    uint32_t size = 0;
    int16_t rows = -7, cols = -7;
    EXPECT_FALSE(GetPatternData(*s, nullptr, size, &rows, &cols));
    EXPECT_EQ(size, 441u);
    EXPECT_EQ(rows, 21);
    EXPECT_EQ(cols, 21);

    const EncodedSymbol symbol = EncodeSymbol(*s);
    const ModuleMatrix* matrix = symbol.matrix.get();
    for (int orientation : {1, 3}) {
        Appearance(*s, 0.2, orientation, 0);
        std::vector<uint8_t> buffer(442, 'x');
        uint32_t big = 441;
        rows = cols = -7;
        ASSERT_TRUE(GetPatternData(*s, buffer.data(), big, &rows, &cols));
        EXPECT_EQ(big, 441u);
        EXPECT_EQ(rows, -7);  // left as the caller set them
        EXPECT_EQ(buffer[441], 'x');
        for (int r = 0; r < 21; ++r)
            for (int k = 0; k < 21; ++k) ASSERT_EQ(buffer[k * 21 + (20 - r)], matrix->value[r][k] ? '1' : '0');
    }
    // Bottom-left finder first: matrix column 0 read from the bottom row up.
    std::vector<uint8_t> buffer(441);
    uint32_t big = 441;
    GetPatternData(*s, buffer.data(), big, nullptr, nullptr);
    EXPECT_EQ(std::string(buffer.begin(), buffer.begin() + 8), "11111110");

    size = 440;
    EXPECT_FALSE(GetPatternData(*s, buffer.data(), size, &rows, &cols));
    EXPECT_EQ(size, 441u);

    SetMessage(*s, std::string(3000, 'a').c_str());
    size = 1000;
    EXPECT_TRUE(GetPatternData(*s, buffer.data(), size, &rows, &cols));
    EXPECT_EQ(size, 0u);
    EXPECT_EQ(rows, 0);
}

}  // namespace
