// Whole encodes checked against an independent decoder: the symbol is
// rendered into a grey picture and read back with zxing-cpp; the version is
// checked from the matrix side and the mask from the format word read off the
// picture.
#define ZX_USE_UTF8 1
#include <ZXing/ReadBarcode.h>
#include <gtest/gtest.h>

#include <cstdlib>
#include <cstring>
#include <random>
#include <string>
#include <vector>

#include "common/qr_tables.h"
#include "encode_symbol.h"
#include "settings.h"

namespace {

using mosaire::EncoderSettings;
using mosaire::ModuleMatrix;

constexpr int kScale = 3;
constexpr int kQuiet = 4;

struct Picture {
    int size = 0;
    std::vector<uint8_t> pixels;
    bool Dark(int row, int col) const {
        const int y = (kQuiet + row) * kScale + kScale / 2;
        const int x = (kQuiet + col) * kScale + kScale / 2;
        return pixels[static_cast<size_t>(y) * size + x] < 128;
    }
};

Picture Render(const ModuleMatrix& m) {
    Picture p;
    p.size = (m.side + 2 * kQuiet) * kScale;
    p.pixels.assign(static_cast<size_t>(p.size) * p.size, 255);
    for (int r = 0; r < m.side; ++r)
        for (int c = 0; c < m.side; ++c) {
            if (!m.value[r][c]) continue;
            for (int dy = 0; dy < kScale; ++dy)
                for (int dx = 0; dx < kScale; ++dx)
                    p.pixels[static_cast<size_t>((kQuiet + r) * kScale + dy) * p.size + (kQuiet + c) * kScale + dx] = 0;
        }
    return p;
}

struct FormatRead {
    bool valid = false;
    int level = -1;
    int mask = -1;
};

// Reads the copy of the format word beside the top-left finder and checks its
// BCH(15,5) remainder.
FormatRead ReadFormat(const Picture& p) {
    static const int kPos[15][2] = {{0, 8}, {1, 8}, {2, 8}, {3, 8}, {4, 8}, {5, 8}, {7, 8}, {8, 8},
                                    {8, 7}, {8, 5}, {8, 4}, {8, 3}, {8, 2}, {8, 1}, {8, 0}};  // bit 0 first
    unsigned word = 0;
    for (int bit = 0; bit < 15; ++bit)
        if (p.Dark(kPos[bit][0], kPos[bit][1])) word |= 1u << bit;
    word ^= 0x5412;
    unsigned rem = word >> 10 << 10;
    for (int b = 14; b >= 10; --b)
        if (rem & (1u << b)) rem ^= 0x537u << (b - 10);
    FormatRead f;
    f.valid = rem == (word & 0x3FF);
    static const int kLevel[4] = {1, 0, 3, 2};  // code 00 = M, 01 = L, 10 = H, 11 = Q
    f.level = kLevel[(word >> 13) & 3];
    f.mask = static_cast<int>((word >> 10) & 7);
    return f;
}

int CountBits(int mode, int version) {
    const int range = version <= 9 ? 0 : version <= 26 ? 1 : 2;
    const int widths[3][3] = {{10, 12, 14}, {9, 11, 13}, {8, 16, 16}};
    return widths[mode][range];
}

// Characters of one mode (0 numeric, 1 alphanumeric, 2 byte) that fit.
int Capacity(int mode, int version, int level) {
    const int bits = 8 * qrcommon::DataCodewords(version, level) - 4 - CountBits(mode, version);
    if (mode == 0) return bits / 10 * 3 + (bits % 10 >= 7 ? 2 : bits % 10 >= 4 ? 1 : 0);
    if (mode == 1) return bits / 11 * 2 + (bits % 11 >= 6 ? 1 : 0);
    return bits / 8;
}

int SampleCount() {
    const char* env = std::getenv("MOSAIRE_ORACLE_SAMPLES");
    return env != nullptr ? std::max(1, std::atoi(env)) : 480;
}

std::string RandomMessage(std::mt19937& rng, int mode, int length) {
    static const char kAlnum[] = "0123456789ABCDEFGHIJKLMNOPQRSTUVWXYZ $%*+-./:";
    std::string s(static_cast<size_t>(length), '0');
    for (auto& ch : s) {
        if (mode == 0)
            ch = static_cast<char>('0' + rng() % 10);
        else if (mode == 1)
            ch = kAlnum[rng() % 45];
        else
            ch = static_cast<char>(1 + rng() % 255);
    }
    // One letter keeps an alphanumeric message out of numeric mode; a lower-case
    // one forces byte mode.
    if (mode == 1 && length > 0) s[rng() % s.size()] = 'Q';
    if (mode == 2 && length > 0) s[rng() % s.size()] = 'a';
    return s;
}

TEST(EncodeOracle, RandomMessagesDecodeWithSameBytesLevelVersionAndMask) {
    std::mt19937 rng(20240611);
    const int samples = SampleCount();
    auto settings = std::make_unique<EncoderSettings>();
    const auto hints = ZXing::DecodeHints().setFormats(ZXing::BarcodeFormat::QRCode).setIsPure(true);
    for (int i = 0; i < samples; ++i) {
        const int mode = i % 3;
        const int level = (i / 3) % 4;
        const int target = 1 + (i * 7) % 40;
        const int maskSetting = (i / 12) % 9;
        const int capacity = Capacity(mode, target, level);
        const int low = target > 1 ? Capacity(mode, target - 1, level) + 1 : (mode == 0 ? 0 : 1);
        const int length = low + static_cast<int>(rng() % static_cast<unsigned>(capacity - low + 1));
        // Every fourth sample asks for its version as a floor; others choose.
        const int floor = i % 4 == 0 ? target : 0;
        const std::string message = RandomMessage(rng, mode, length);

        mosaire::SetMessage(*settings, message.c_str());
        mosaire::Configure(*settings, floor, level, maskSetting);
        const mosaire::EncodedSymbol symbol = mosaire::EncodeSymbol(*settings);
        const mosaire::ModuleMatrix* matrix = symbol.matrix.get();
        SCOPED_TRACE("sample " + std::to_string(i) + " mode " + std::to_string(mode) + " level " +
                     std::to_string(level) + " length " + std::to_string(length) + " mask setting " +
                     std::to_string(maskSetting));
        ASSERT_NE(matrix, nullptr);
        ASSERT_EQ(symbol.version, target);
        ASSERT_EQ(matrix->side, 17 + 4 * target);
        EXPECT_EQ(symbol.mode, mode == 0 ? 1 : mode == 1 ? 2 : 4);

        const Picture picture = Render(*matrix);
        const auto result = ZXing::ReadBarcode(
            ZXing::ImageView(picture.pixels.data(), picture.size, picture.size, ZXing::ImageFormat::Lum), hints);
        ASSERT_TRUE(result.isValid());
        const auto& bytes = result.bytes();
        EXPECT_EQ(std::string(bytes.begin(), bytes.end()), message);
        EXPECT_EQ(result.ecLevel(), std::string(1, "LMQH"[level]));

        const FormatRead format = ReadFormat(picture);
        EXPECT_TRUE(format.valid);
        EXPECT_EQ(format.level, level);
        EXPECT_EQ(format.mask, symbol.mask);
        if (maskSetting != 0) {
            EXPECT_EQ(symbol.mask, maskSetting - 1);
        }
    }
}

}  // namespace
