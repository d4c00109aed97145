// Whole decodes through the exports of the built library: symbols of every
// version made by libqrencode, by our own encoder and by segno, rendered at
// several module sizes and quarter turns, as grey arrays, binary arrays and
// picture files. QR_TEST_SAMPLE=n keeps every n-th generated case only.
#include <gtest/gtest.h>

#include <unistd.h>

#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <tuple>
#include <filesystem>
#include <fstream>
#include <memory>
#include <sstream>
#include <string>
#include <vector>

#include "common/qr_tables.h"
#include "encode_symbol.h"
#include "own_symbols.h"
#include "lectavo_calls.h"
#include "test_pictures.h"

namespace {

namespace fs = std::filesystem;
using testpics::Matrix;
using testpics::Picture;

int SampleStep() {
    const char* env = std::getenv("QR_TEST_SAMPLE");
    const int n = env ? std::atoi(env) : 1;
    return n > 1 ? n : 1;
}

struct Expected {
    std::string data;
    int version = 0, level = 0, mask = -1;
    int side = 0, modulePx = 0, quiet = 4, turns = 0;
    int offsetX = 0, offsetY = 0;  // where the rendered picture was placed
};

// Corner (mx, my), in modules of the upright symbol, turned like Render and
// converted to pixels.
void CornerPixels(const Expected& e, int mx, int my, int& px, int& py) {
    for (int t = 0; t < (e.turns & 3); ++t) {
        const int nx = e.side - my, ny = mx;
        mx = nx;
        my = ny;
    }
    px = (mx + e.quiet) * e.modulePx + e.offsetX;
    py = (my + e.quiet) * e.modulePx + e.offsetY;
}

class EndToEnd : public ::testing::Test {
protected:
    static testpics::Lectavo lib;
    static fs::path workDir;

    static void SetUpTestSuite() {
        workDir = fs::temp_directory_path() / ("lectavo_e2e_" + std::to_string(getpid()));
        fs::create_directories(workDir);
    }
    static void TearDownTestSuite() { fs::remove_all(workDir); }

    void SetUp() override { lib.setDecodeSymbolCount(0); }

    // Checks result `index` against `e`: bytes, version, level, mask, corners.
    void ExpectResult(int index, const Expected& e) {
        EXPECT_EQ(lib.Data(index), e.data);
        EXPECT_EQ(lib.getDecodeVersion(index), e.version);
        EXPECT_EQ(lib.getDecodeLevel(index), e.level);
        if (e.mask >= 0) {
            EXPECT_EQ(lib.getDecodeMaskingNo(index), e.mask);
        }
        LectavoPoint corners[4] = {};
        ASSERT_EQ(lib.getSymbolePosition(index, corners), 0);
        static const int kModule[4][2] = {{0, 0}, {1, 0}, {1, 1}, {0, 1}};
        for (int c = 0; c < 4; ++c) {
            int x = 0, y = 0;
            CornerPixels(e, kModule[c][0] * e.side, kModule[c][1] * e.side, x, y);
            EXPECT_NEAR(corners[c].x, x, 1) << "corner " << c;
            EXPECT_NEAR(corners[c].y, y, 1) << "corner " << c;
        }
    }

    static std::string Describe(const Expected& e) {
        return "version " + std::to_string(e.version) + " level " + std::to_string(e.level) + " mask " +
               std::to_string(e.mask) + " module " + std::to_string(e.modulePx) + " turns " + std::to_string(e.turns);
    }

    void DecodeGrey(const Picture& p, const Expected& e) {
        SCOPED_TRACE(Describe(e));
        ASSERT_EQ(lib.decodeGrayScaleArray(p.pixels.data(), p.width, p.height), 1);
        ExpectResult(0, e);
    }

    void DecodeBinary(const Picture& p, const Expected& e) {
        SCOPED_TRACE(Describe(e));
        const std::vector<uint8_t> plane = testpics::Binarize(p);
        ASSERT_EQ(lib.decodeBinaryArray(plane.data(), p.width, p.height), 1);
        ExpectResult(0, e);
    }

    // Runs segno's Python interface with `script`; files land in workDir.
    static bool RunSegno(const std::string& script) {
        const fs::path file = workDir / "make.py";
        std::ofstream(file) << "import segno, os\nos.chdir(" << '"' << workDir.string() << '"' << ")\n" << script;
        const std::string command = "/usr/bin/python3 " + file.string() + " 2>/dev/null";
        return std::system(command.c_str()) == 0;
    }
};

testpics::Lectavo EndToEnd::lib;
fs::path EndToEnd::workDir;

// Concatenates its arguments as text. (Chains of std::string operator+ trip
// a false -Wrestrict warning of g++ 12 in optimised builds.)
template <typename... Parts>
std::string Join(const Parts&... parts) {
    std::ostringstream out;
    (out << ... << parts);
    return out.str();
}

// A byte-mode message that fills `version` at `level` exactly, so an encoder
// choosing the smallest version picks this one.
std::string TextFor(int version, int level) {
    const int data = qrcommon::DataCodewords(version, level);
    const size_t capacity = static_cast<size_t>((data * 8 - 4 - (version <= 9 ? 8 : 16)) / 8);
    std::string text = Join("v", version, "-", "LMQH"[level], ":");
    for (size_t i = 0; text.size() < capacity; ++i) text += static_cast<char>('a' + i % 26);
    return text.substr(0, capacity);
}

// Levels to try for a version: all four where it matters, else one in turn.
std::vector<int> LevelsFor(int version) {
    if (version <= 7 || version % 7 == 0) return {0, 1, 2, 3};
    return {version % 4};
}

TEST_F(EndToEnd, IndependentEncoderEveryVersionAsGreyArray) {
    const int step = SampleStep();
    int n = 0;
    for (int version = 1; version <= 40; ++version)
        for (int level : LevelsFor(version)) {
            if (n++ % step) continue;
            const Matrix m = testpics::FromQrencode(TextFor(version, level), version, level);
            ASSERT_EQ(m.side, 17 + 4 * version);
            Expected e{TextFor(version, level), version, level, testpics::FormatMask(m), m.side};
            e.modulePx = version <= 6 ? 3 + n % 8 : (n % 2 ? 3 : 6);
            e.turns = n % 4;
            DecodeGrey(testpics::Render(m, e.modulePx, 4, e.turns), e);
        }
}

// Two pixels per module, the smallest size the finder scan's step allows,
// at every quarter turn.
TEST_F(EndToEnd, TwoPixelModulesEveryQuarterTurn) {
    for (int version = 1; version <= 6; ++version)
        for (int turns = 0; turns < 4; ++turns) {
            const int level = version % 4;
            const Matrix m = testpics::FromQrencode(TextFor(version, level), version, level);
            Expected e{TextFor(version, level), version, level, testpics::FormatMask(m), m.side};
            e.modulePx = 2;
            e.turns = turns;
            DecodeGrey(testpics::Render(m, 2, 4, turns), e);
        }
}

TEST_F(EndToEnd, IndependentEncoderAsBinaryArray) {
    int n = 0;
    for (int version : {1, 2, 5, 7, 12, 25, 40}) {
        const int level = n % 4;
        const Matrix m = testpics::FromQrencode(TextFor(version, level), version, level);
        Expected e{TextFor(version, level), version, level, testpics::FormatMask(m), m.side};
        e.modulePx = version <= 6 ? 4 : 3;
        e.turns = n++ % 4;
        DecodeBinary(testpics::Render(m, e.modulePx, 4, e.turns), e);
    }
}

TEST_F(EndToEnd, OurEncoderEveryMaskAndLevelForSmallVersions) {
    auto settings = std::make_unique<mosaire::EncoderSettings>();
    const int step = SampleStep();
    int n = 0;
    for (int version = 1; version <= 40; ++version)
        for (int level : LevelsFor(version)) {
            const int masks = version <= 6 ? 8 : 1;
            for (int mask = 0; mask < masks; ++mask) {
                if (n++ % step) continue;
                *settings = mosaire::EncoderSettings{};
                // Short enough for version 1-H (seven bytes).
                const std::string text = Join("m", version, ".", level, ".", mask);
                text.copy(settings->message, text.size());
                settings->version = static_cast<int16_t>(version);
                settings->ecLevel = static_cast<int16_t>(level);
                settings->maskSetting = static_cast<int16_t>(version <= 6 ? mask + 1 : 0);
                const mosaire::EncodedSymbol encoded = mosaire::EncodeSymbol(*settings);
                const mosaire::ModuleMatrix* symbol = encoded.matrix.get();
                ASSERT_TRUE(symbol) << version;
                const Matrix m = testpics::FromModuleMatrix(*symbol);
                Expected e{text, version, level, version <= 6 ? mask : encoded.mask, m.side};
                e.modulePx = version <= 6 ? 3 + n % 8 : (n % 2 ? 6 : 3);
                e.turns = (n / 3) % 4;
                DecodeGrey(testpics::Render(m, e.modulePx, 4, e.turns), e);
            }
        }
}

TEST_F(EndToEnd, SegnoPictureFilesEveryMask) {
    // Versions 1-6, every mask, PNG files read through DecodePictureFile.
    std::string script = "for v in range(1, 7):\n  for k in range(8):\n";
    script += "    segno.make_qr('s%d.%d' % (v, k), version=v, error='LMQH'[(v + k) % 4], mask=k,\n";
    script += "                  boost_error=False).save('m%d_%d.png' % (v, k), scale=3 + (v + k) % 8, border=4)\n";
    ASSERT_TRUE(RunSegno(script));
    for (int version = 1; version <= 6; ++version)
        for (int mask = 0; mask < 8; ++mask) {
            const fs::path file = workDir / (Join("m", version, "_", mask, ".png"));
            ASSERT_EQ(lib.decodePictureFile(file.c_str()), 1) << file;
            // The level letters L, M, Q, H are the level numbers 0-3.
            Expected e{Join("s", version, ".", mask), version, (version + mask) % 4, mask, 17 + 4 * version};
            e.modulePx = 3 + (version + mask) % 8;
            ExpectResult(0, e);
        }
}

TEST_F(EndToEnd, StructuredAppendSymbolsReportTheirFields) {
    const std::string text = "Structured append across three symbols, one message. 0123456789";
    ASSERT_TRUE(RunSegno("segno.make_sequence('" + text +
                         "', symbol_count=3, error='M', boost_error=False).save('sa.png', scale=4, border=4)\n"));
    uint8_t parity = 0;
    for (unsigned char c : text) parity ^= c;
    std::string joined;
    for (int i = 0; i < 3; ++i) {
        const fs::path file = workDir / ("sa-03-0" + std::to_string(i + 1) + ".png");
        ASSERT_EQ(lib.decodePictureFile(file.c_str()), 1) << file;
        int32_t position = -1;
        unsigned char gotParity = 0;
        EXPECT_EQ(lib.getConcatenationInfo(0, &position, &gotParity), 3);
        EXPECT_EQ(position, i);
        EXPECT_EQ(gotParity, parity);
        joined += lib.Data(0);
    }
    EXPECT_EQ(joined, text);
}

TEST_F(EndToEnd, SymbolWithoutStructuredAppendReportsZeros) {
    const Matrix m = testpics::FromQrencode("plain", 1, 1);
    const Picture p = testpics::Render(m, 4);
    ASSERT_EQ(lib.decodeGrayScaleArray(p.pixels.data(), p.width, p.height), 1);
    int32_t position = -1;
    unsigned char parity = 1;
    EXPECT_EQ(lib.getConcatenationInfo(0, &position, &parity), 0);
    EXPECT_EQ(position, 0);
    EXPECT_EQ(parity, 0);
}

TEST_F(EndToEnd, KanjiSymbolGivesShiftJisBytes) {
    // Shift JIS text (three Kanji, then ASCII) encoded with Kanji segments.
    const std::string sjis = "\x93\x5f\xe4\xaa\x88\x9f QR";
    QRcode* code = QRcode_encodeString(sjis.c_str(), 2, QR_ECLEVEL_M, QR_MODE_KANJI, 1);
    ASSERT_NE(code, nullptr);
    Matrix m;
    m.side = code->width;
    for (int i = 0; i < m.side * m.side; ++i) m.dark.push_back(code->data[i] & 1);
    const int version = code->version;
    QRcode_free(code);
    Expected e{sjis, version, 1, testpics::FormatMask(m), m.side};
    e.modulePx = 5;
    DecodeGrey(testpics::Render(m, 5), e);
}

TEST_F(EndToEnd, SeveralSymbolsComeBackInReadingOrder) {
    // Three symbols in a row and one below, placed out of order.
    const int module = 4, quiet = 4;
    const char* texts[4] = {"first", "second", "third", "fourth"};
    const int cellsX[4] = {0, 1, 2, 0}, cellsY[4] = {0, 0, 0, 1};
    const int cell = (25 + 2 * quiet) * module + 20;
    Picture canvas;
    canvas.width = 3 * cell;
    canvas.height = 2 * cell;
    canvas.pixels.assign(static_cast<size_t>(canvas.width) * canvas.height, 255);
    std::vector<Expected> expected(4);
    for (int i : {2, 3, 0, 1}) {
        const Matrix m = testpics::FromQrencode(texts[i], 2, i % 4);
        const Picture p = testpics::Render(m, module, quiet);
        Expected& e = expected[i];
        e = Expected{texts[i], 2, i % 4, testpics::FormatMask(m), m.side};
        e.modulePx = module;
        e.offsetX = cellsX[i] * cell + 5 * cellsY[i];
        e.offsetY = cellsY[i] * cell + 7 * cellsX[i];  // slightly uneven rows
        for (int y = 0; y < p.height; ++y)
            std::copy_n(&p.pixels[static_cast<size_t>(y) * p.width], p.width,
                        &canvas.pixels[static_cast<size_t>(y + e.offsetY) * canvas.width + e.offsetX]);
    }
    ASSERT_EQ(lib.decodeGrayScaleArray(canvas.pixels.data(), canvas.width, canvas.height), 4);
    for (int i = 0; i < 4; ++i) ExpectResult(i, expected[i]);
}

// The decode call's work bounds (triples examined, reading attempts) leave
// every symbol of a picture holding the most a call returns.
TEST_F(EndToEnd, ThirtyTwoSymbolsAreAllRead) {
    const int module = 3, cell = (41 + 8) * module;
    Picture canvas;
    canvas.width = 8 * cell;
    canvas.height = 4 * cell;
    canvas.pixels.assign(static_cast<size_t>(canvas.width) * canvas.height, 255);
    for (int i = 0; i < 32; ++i) {
        const Picture p = testpics::Render(testpics::FromQrencode(Join("s", i), 1 + i % 6, 1), module, 4, i % 4);
        for (int y = 0; y < p.height; ++y)
            std::copy_n(&p.pixels[static_cast<size_t>(y) * p.width], p.width,
                        &canvas.pixels[static_cast<size_t>((i / 8) * cell + y) * canvas.width + (i % 8) * cell]);
    }
    lib.setDecodeSymbolCount(32);
    EXPECT_EQ(lib.decodeGrayScaleArray(canvas.pixels.data(), canvas.width, canvas.height), 32);
}

// A grid of 12 x 12 bare finder patterns: every triple looks like a symbol
// whose format area reads as level M, mask 0. The call ends on its work
// bounds with nothing found.
TEST_F(EndToEnd, GridOfBareFinderPatternsEndsWithNothingFound) {
    Matrix finder;
    finder.side = 7;
    for (int r = 0; r < 7; ++r)
        for (int c = 0; c < 7; ++c) finder.dark.push_back(std::max(std::abs(r - 3), std::abs(c - 3)) != 2);
    const Picture one = testpics::Render(finder, 4, 2);  // 44 x 44 pixels
    Picture grid;
    grid.width = grid.height = 12 * one.width;
    grid.pixels.assign(static_cast<size_t>(grid.width) * grid.height, 255);
    for (int i = 0; i < 144; ++i)
        for (int y = 0; y < one.height; ++y)
            std::copy_n(
                &one.pixels[static_cast<size_t>(y) * one.width], one.width,
                &grid.pixels[static_cast<size_t>((i / 12) * one.height + y) * grid.width + (i % 12) * one.width]);
    EXPECT_EQ(lib.decodeGrayScaleArray(grid.pixels.data(), grid.width, grid.height), 0);
}

}  // namespace

namespace {

// The picture scaled by sx across and sy down (nearest neighbour) and
// sheared by `shear` (x moves by shear * y), as a camera slightly off the
// perpendicular would see it.
Picture Distort(const Picture& p, double sx, double sy, double shear) {
    Picture out;
    out.width = static_cast<int>(p.width * sx + std::fabs(shear) * p.height * sy) + 2;
    out.height = static_cast<int>(p.height * sy) + 1;
    out.pixels.assign(static_cast<size_t>(out.width) * out.height, 255);
    const double x0 = shear < 0 ? -shear * p.height * sy : 0.0;
    for (int y = 0; y < out.height; ++y)
        for (int x = 0; x < out.width; ++x) {
            const double srcY = y / sy;
            const double srcX = (x - x0 - shear * y) / sx;
            const int ix = static_cast<int>(std::floor(srcX)), iy = static_cast<int>(std::floor(srcY));
            if (ix >= 0 && iy >= 0 && ix < p.width && iy < p.height)
                out.pixels[static_cast<size_t>(y) * out.width + x] = p.pixels[static_cast<size_t>(iy) * p.width + ix];
        }
    return out;
}

}  // namespace

// The growing-pitch model follows symbols whose module size changes a little
// across the picture: a 3 % vertical stretch, and a slight shear.
TEST_F(EndToEnd, MildlyStretchedAndShearedLargeSymbols) {
    for (int version : {10, 20, 40}) {
        const int level = version % 4;
        const Matrix m = testpics::FromQrencode(TextFor(version, level), version, level);
        const Picture upright = testpics::Render(m, 4, 4, 0);
        for (const auto& [sx, sy, shear] : {std::tuple{1.00, 1.03, 0.0}, std::tuple{1.03, 1.00, 0.0},
                                            std::tuple{1.00, 1.00, 0.02}, std::tuple{1.00, 1.02, -0.02}}) {
            SCOPED_TRACE(Join("version ", version, " scale ", sx, " x ", sy, " shear ", shear));
            const Picture p = Distort(upright, sx, sy, shear);
            ASSERT_EQ(lib.decodeGrayScaleArray(p.pixels.data(), p.width, p.height), 1);
            EXPECT_EQ(lib.Data(0), TextFor(version, level));
            EXPECT_EQ(lib.getDecodeVersion(0), version);
            EXPECT_EQ(lib.getDecodeLevel(0), level);
        }
    }
}
