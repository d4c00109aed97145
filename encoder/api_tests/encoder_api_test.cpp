// The C++ interface through the shared library: its symbols against
// libqrencode and the C interface, its pictures read back by zxing-cpp, its
// failures, and calls from several threads at once.
#include <gtest/gtest.h>
#include <qrencode.h>
#include <ZXing/ReadBarcode.h>

#include <algorithm>
#include <cstdio>
#include <memory>
#include <string>
#include <thread>
#include <vector>

#include "mosaire.h"
#include "mosaire/encoder.hpp"

namespace {

using mosaire::EncodeError;
using mosaire::EncodeOptions;
using mosaire::Level;
using mosaire::Matrix;
using Reason = mosaire::EncodeError::Reason;

// libqrencode's symbol for the message at the version, level, one segment
// in our mode: byte data always as byte mode, digits and upper-case text as
// one numeric or alphanumeric segment.
std::vector<uint8_t> OracleModules(const std::string& message, int version, Level level, int& side) {
    const auto qlevel = static_cast<QRecLevel>(static_cast<int>(level));  // QR_ECLEVEL_L .. _H = 0 .. 3
    const bool byteMode = message.find_first_of("abcdefghijklmnopqrstuvwxyz") != std::string::npos;
    std::unique_ptr<QRcode, void (*)(QRcode*)> code(
        byteMode ? QRcode_encodeData(static_cast<int>(message.size()),
                                     reinterpret_cast<const unsigned char*>(message.data()), version, qlevel)
                 : QRcode_encodeString(message.c_str(), version, qlevel, QR_MODE_8, 1),
        QRcode_free);
    if (!code || code->version != version) return {};
    side = code->width;
    std::vector<uint8_t> modules(static_cast<size_t>(side) * side);
    for (size_t i = 0; i < modules.size(); ++i) modules[i] = code->data[i] & 1;
    return modules;
}

TEST(EncoderApi, SymbolsEqualLibqrencodesAtTheSameVersionLevelAndMask) {
    const std::string messages[] = {"0123456789012345",          "HELLO WORLD",
                                    "https://example.org/a?b=c", std::string(150, 'x') + "end",
                                    std::string(700, '7'),       "ABC DEF $%*+-./:"};
    int checked = 0;
    for (const std::string& message : messages) {
        for (Level level : {Level::L, Level::M, Level::Q, Level::H}) {
            const Matrix chosen = mosaire::Encode(message, {level, 0, -1});
            EXPECT_EQ(chosen.level(), level);
            int side = 0;
            const std::vector<uint8_t> oracle = OracleModules(message, chosen.version(), level, side);
            ASSERT_EQ(side, chosen.size()) << message << " level " << int(level);
            // libqrencode picks its mask by its own scoring: ours with that mask must equal it.
            int matches = 0;
            for (int mask = 0; mask < 8; ++mask) {
                const Matrix m = mosaire::Encode(message, {level, chosen.version(), mask});
                ASSERT_EQ(m.mask(), mask);
                matches += m.modules() == oracle;
            }
            EXPECT_EQ(matches, 1) << message << " level " << int(level);
            ++checked;
        }
    }
    EXPECT_EQ(checked, 24);
}

// What the C interface gives for the same message and choices, as a matrix
// in the usual orientation (pattern byte k * n + (n - 1 - r) is module r, k).
std::vector<uint8_t> ThroughTheCInterface(const std::string& message, const EncodeOptions& o, int& side) {
    QRSetDefault();
    QRSetMessage(message.c_str());
    QRConfigure(o.version, static_cast<int>(o.level), o.mask + 1);
    uint32_t size = 0;
    int16_t rows = 0, cols = 0;
    QRGetPatternData(nullptr, &size, &rows, &cols);
    std::vector<unsigned char> pattern(size);
    QRGetPatternData(pattern.data(), &size, &rows, &cols);
    side = rows;
    std::vector<uint8_t> modules(pattern.size());
    for (int r = 0; r < side; ++r)
        for (int k = 0; k < side; ++k)
            modules[size_t(r) * side + k] = pattern[size_t(k) * side + (side - 1 - r)] == '1';
    return modules;
}

TEST(EncoderApi, SameSymbolAsTheCInterfaceAndUnchangedByItsSettings) {
    const std::pair<std::string, EncodeOptions> cases[] = {
        {"12", {}}, {"QR 2026", {Level::H, 5, -1}}, {"mixed Case text", {Level::Q, 0, 6}}};
    for (const auto& [message, options] : cases) {
        int side = 0;
        const std::vector<uint8_t> c = ThroughTheCInterface(message, options, side);
        QRConfigure(40, 3, 8);  // the process-wide settings play no part
        const Matrix m = mosaire::Encode(message, options);
        EXPECT_EQ(m.size(), side);
        EXPECT_EQ(m.modules(), c) << message;
    }
}

std::string ReadGrey(const std::vector<uint8_t>& grey, int edge) {
    const auto r = ZXing::ReadBarcode(ZXing::ImageView(grey.data(), edge, edge, ZXing::ImageFormat::Lum),
                                      ZXing::DecodeHints().setFormats(ZXing::BarcodeFormat::QRCode));
    return r.isValid() ? std::string(r.bytes().begin(), r.bytes().end()) : "<none>";
}

TEST(EncoderApi, RenderedPicturesReadBackAndAgree) {
    static constexpr char kBytes[] = "bytes \0 and \xff\xfe kept";
    const std::string message(kBytes, sizeof kBytes - 1);
    const Matrix m = mosaire::Encode(
        std::span<const uint8_t>(reinterpret_cast<const uint8_t*>(message.data()), message.size()), {Level::Q});
    const int scale = 3, border = 4, edge = (m.size() + 2 * border) * scale;
    const std::vector<uint8_t> grey = mosaire::ToGrey(m, scale, border);
    ASSERT_EQ(grey.size(), size_t(edge) * edge);
    EXPECT_EQ(ReadGrey(grey, edge), message);

    // The BMP file holds the same pixels (1 bit, rows bottom-up, 4-byte aligned).
    const std::vector<uint8_t> bmp = mosaire::ToBmp(m, scale, border);
    ASSERT_GT(bmp.size(), 62u);
    EXPECT_EQ(bmp[0], 'B');
    EXPECT_EQ(bmp[28], 1);
    const int stride = ((edge + 31) / 32) * 4;
    ASSERT_EQ(bmp.size(), 62u + size_t(stride) * edge);
    int differ = 0;
    for (int y = 0; y < edge; ++y)
        for (int x = 0; x < edge; ++x) {
            const bool light = bmp[62 + size_t(edge - 1 - y) * stride + x / 8] >> (7 - x % 8) & 1;
            differ += light != (grey[size_t(y) * edge + x] == 255);
        }
    EXPECT_EQ(differ, 0);

    // The SVG path's runs cover exactly the dark modules.
    const std::string svg = mosaire::ToSvg(m, scale, border);
    std::vector<uint8_t> drawn(m.modules().size());
    for (size_t at = svg.find("d=\""); (at = svg.find('M', at)) != std::string::npos;) {
        int x = 0, y = 0, run = 0, used = 0;
        ASSERT_EQ(std::sscanf(svg.c_str() + at, "M%d %dh%d%n", &x, &y, &run, &used), 3);
        for (int i = 0; i < run; ++i) drawn[size_t(y - border) * m.size() + (x - border + i)] = 1;
        at += used;
    }
    EXPECT_EQ(drawn, m.modules());
    EXPECT_NE(svg.find("width=\"" + std::to_string(edge) + "\""), std::string::npos);

    // Text: two module rows a line, the finder's top edge a full block run.
    const std::string text = mosaire::ToText(m, 1);
    EXPECT_EQ(std::count(text.begin(), text.end(), '\n'), (m.size() + 2 + 1) / 2);
    EXPECT_EQ(text.substr(1, 7 * 3), "\u2584\u2584\u2584\u2584\u2584\u2584\u2584");

    // The WMF file: placeable header with the picture's extent.
    const std::vector<uint8_t> wmf = mosaire::ToWmf(m, scale, border);
    ASSERT_GT(wmf.size(), 40u);
    EXPECT_EQ(wmf[0] | wmf[1] << 8 | wmf[2] << 16 | uint32_t(wmf[3]) << 24, 0x9AC6CDD7u);
    EXPECT_EQ(wmf[10] | wmf[11] << 8, edge);
    EXPECT_EQ(wmf[12] | wmf[13] << 8, edge);
}

TEST(EncoderApi, FailuresThrowWithTheirReasonOrComeBackEmpty) {
    auto reasonOf = [](auto call) {
        try {
            call();
        } catch (const EncodeError& e) {
            return e.reason();
        }
        ADD_FAILURE() << "no EncodeError";
        return Reason::InvalidRender;
    };
    const std::string tooLong(2954, 'x');  // version 40-L holds 2,953 bytes
    EXPECT_EQ(mosaire::Encode(std::string(2953, 'x'), {Level::L}).version(), 40);
    EXPECT_EQ(reasonOf([&] { mosaire::Encode(tooLong, {Level::L}); }), Reason::DoesNotFit);
    EXPECT_EQ(reasonOf([] { mosaire::Encode("a", {Level::M, 41}); }), Reason::InvalidOptions);
    EXPECT_EQ(reasonOf([] { mosaire::Encode("a", {Level::M, -1}); }), Reason::InvalidOptions);
    EXPECT_EQ(reasonOf([] { mosaire::Encode("a", {Level::M, 0, 8}); }), Reason::InvalidOptions);
    EXPECT_EQ(reasonOf([] { mosaire::Encode("a", {static_cast<Level>(4)}); }), Reason::InvalidOptions);

    Reason why = Reason::InvalidRender;
    EXPECT_FALSE(mosaire::TryEncode(tooLong, {Level::L}, &why));
    EXPECT_EQ(why, Reason::DoesNotFit);
    EXPECT_FALSE(mosaire::TryEncode("a", {Level::M, 0, -2}));
    ASSERT_TRUE(mosaire::TryEncode("a", {}, &why));

    const Matrix m = mosaire::Encode("a");
    EXPECT_EQ(reasonOf([&] { mosaire::ToGrey(m, 0); }), Reason::InvalidRender);
    EXPECT_EQ(reasonOf([&] { mosaire::ToBmp(m, 4, -1); }), Reason::InvalidRender);
    EXPECT_EQ(reasonOf([&] { mosaire::ToSvg(m, 2000); }), Reason::InvalidRender);  // 29 x 2000 pixels
    EXPECT_EQ(reasonOf([&] { mosaire::ToWmf(m, 1, 1 << 30); }), Reason::InvalidRender);
    EXPECT_FALSE(m.dark(-1, 0));
    EXPECT_FALSE(m.dark(0, m.size()));
}

TEST(EncoderApi, ThreadsEncodingAtOnceGetTheSameSymbols) {
    std::vector<std::string> messages;
    std::vector<std::vector<uint8_t>> expected;
    for (int i = 0; i < 40; ++i) {
        messages.push_back("thread message " + std::to_string(i * 7919));
        expected.push_back(mosaire::ToGrey(mosaire::Encode(messages.back(), {Level(i % 4)}), 1, 0));
    }
    std::vector<int> wrong(4);
    std::vector<std::thread> threads;
    for (int t = 0; t < 4; ++t)
        threads.emplace_back([&, t] {
            for (int round = 0; round < 5; ++round)
                for (size_t i = 0; i < messages.size(); ++i)
                    wrong[t] += mosaire::ToGrey(mosaire::Encode(messages[i], {Level(i % 4)}), 1, 0) != expected[i];
        });
    for (int i = 0; i < 200; ++i) QRSetMessage(i % 2 ? "C interface" : "in between");  // the C side meanwhile
    for (auto& t : threads) t.join();
    EXPECT_EQ(wrong, std::vector<int>(4, 0));
}

}  // namespace
