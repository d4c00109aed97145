// The C++ interface: every pixel layout a view can have reads the same
// symbol, bad views and files give typed errors, more than 32 symbols come
// back, rectangles keep picture coordinates, threads with different options
// do not interfere, and text is told from binary data.
#include <gtest/gtest.h>

#include <algorithm>
#include <set>
#include <string>
#include <thread>
#include <vector>

#include "test_pictures.h"
#include "lectavo/decoder.hpp"

namespace {

using lectavo::DecodeError;
using lectavo::ErrorCode;
using lectavo::ImageView;
using lectavo::PixelFormat;

testpics::Picture SymbolPicture(const std::string& text, int modulePx = 4) {
    return testpics::Render(testpics::FromQrencode(text, 1, 1), modulePx);
}

ImageView GreyView(const testpics::Picture& p) { return ImageView{p.pixels.data(), p.width, p.height, 0}; }

// The picture's pixels in `format`, each row padded by `padding` bytes.
std::vector<uint8_t> Convert(const testpics::Picture& p, PixelFormat format, int padding) {
    const int bpp = lectavo::BytesPerPixel(format);
    const size_t stride = static_cast<size_t>(p.width) * bpp + padding;
    std::vector<uint8_t> out(stride * p.height, 0x5A);
    for (int y = 0; y < p.height; ++y)
        for (int x = 0; x < p.width; ++x) {
            uint8_t* px = &out[y * stride + static_cast<size_t>(x) * bpp];
            const uint8_t g = p.pixels[static_cast<size_t>(y) * p.width + x];
            for (int c = 0; c < std::min(bpp, 3); ++c) px[c] = g;
            if (bpp == 4) px[3] = 255;
        }
    return out;
}

std::string TextOf(const lectavo::Symbol& s) { return s.text.value_or("<no text>"); }

TEST(DecoderApi, EveryPixelLayoutReadsTheSameSymbolAtTheSameCorners) {
    const testpics::Picture p = SymbolPicture("layouts");
    const std::vector<lectavo::Symbol> plain = lectavo::Decode(GreyView(p));
    ASSERT_EQ(plain.size(), 1u);
    EXPECT_EQ(TextOf(plain[0]), "layouts");
    EXPECT_EQ(plain[0].level, lectavo::Level::M);
    EXPECT_EQ(plain[0].foundBy, lectavo::Search::kBinaryPasses);

    for (PixelFormat format :
         {PixelFormat::kGrey, PixelFormat::kRGB, PixelFormat::kBGR, PixelFormat::kRGBA, PixelFormat::kBGRA}) {
        for (int padding : {0, 3}) {
            const std::vector<uint8_t> bytes = Convert(p, format, padding);
            const std::ptrdiff_t stride = static_cast<std::ptrdiff_t>(bytes.size() / p.height);
            const ImageView view{bytes.data(), p.width, p.height, stride, format};
            const auto symbols = lectavo::Decode(view);
            ASSERT_EQ(symbols.size(), 1u) << static_cast<int>(format) << " padding " << padding;
            for (int k = 0; k < 4; ++k) {
                EXPECT_EQ(symbols[0].corners[k].x, plain[0].corners[k].x);
                EXPECT_EQ(symbols[0].corners[k].y, plain[0].corners[k].y);
            }
        }
    }
    // Rows stored bottom up: the view starts at the last stored row.
    std::vector<uint8_t> flipped(p.pixels.size());
    for (int y = 0; y < p.height; ++y)
        std::copy_n(&p.pixels[static_cast<size_t>(y) * p.width], p.width,
                    &flipped[static_cast<size_t>(p.height - 1 - y) * p.width]);
    const ImageView upward{flipped.data() + static_cast<size_t>(p.height - 1) * p.width, p.width, p.height, -p.width};
    const auto symbols = lectavo::Decode(upward);
    ASSERT_EQ(symbols.size(), 1u);
    EXPECT_EQ(symbols[0].corners[0].y, plain[0].corners[0].y);
}

TEST(DecoderApi, BadViewsAndFilesGiveTypedErrors) {
    const testpics::Picture p = SymbolPicture("x");
    const auto codeOf = [](auto call) {
        try {
            call();
        } catch (const DecodeError& e) {
            return e.code();
        }
        ADD_FAILURE() << "no error";
        return ErrorCode::kOutOfMemory;
    };
    EXPECT_EQ(codeOf([&] { lectavo::Decode(ImageView{nullptr, 10, 10}); }), ErrorCode::kInvalidView);
    EXPECT_EQ(codeOf([&] { lectavo::Decode(ImageView{p.pixels.data(), 0, p.height}); }), ErrorCode::kInvalidView);
    EXPECT_EQ(codeOf([&] { lectavo::Decode(ImageView{p.pixels.data(), -5, p.height}); }), ErrorCode::kInvalidView);
    EXPECT_EQ(codeOf([&] {
                  lectavo::Decode(ImageView{p.pixels.data(), p.width, p.height, p.width - 1});
              }),
              ErrorCode::kInvalidView);
    EXPECT_EQ(codeOf([&] {
                  lectavo::Decode(ImageView{p.pixels.data(), p.width, p.height, p.width * 2, PixelFormat::kRGB});
              }),
              ErrorCode::kInvalidView);
    EXPECT_EQ(codeOf([&] { lectavo::Decode(ImageView{p.pixels.data(), 70000, 1}); }), ErrorCode::kTooLarge);
    EXPECT_EQ(codeOf([&] { lectavo::Decode(ImageView{p.pixels.data(), 20000, 20000}); }), ErrorCode::kTooLarge);
    EXPECT_EQ(codeOf([] { lectavo::DecodeFile("/nonexistent/picture.png"); }), ErrorCode::kFileNotFound);
    EXPECT_EQ(codeOf([] { lectavo::DecodeFile(""); }), ErrorCode::kFileNotFound);
    // Too small to hold a symbol is not an error: nothing is found.
    EXPECT_TRUE(lectavo::Decode(ImageView{p.pixels.data(), 20, 20, p.width}).empty());
}

// `count` different symbols ("sheet 0", "sheet 1", ...) in rows of
// `columns`, `modulePx` px modules.
testpics::Picture Sheet(int count, int columns = 8, int modulePx = 3) {
    const int cell = 40 * modulePx;
    testpics::Picture sheet;
    sheet.width = cell * columns;
    sheet.height = cell * ((count + columns - 1) / columns);
    sheet.pixels.assign(static_cast<size_t>(sheet.width) * sheet.height, 255);
    for (int i = 0; i < count; ++i) {
        const testpics::Picture one = SymbolPicture("sheet " + std::to_string(i), modulePx);
        const int x0 = (i % columns) * cell, y0 = (i / columns) * cell;
        for (int y = 0; y < one.height; ++y)
            std::copy_n(&one.pixels[static_cast<size_t>(y) * one.width], one.width,
                        &sheet.pixels[static_cast<size_t>(y0 + y) * sheet.width + x0]);
    }
    return sheet;
}

std::set<std::string> Texts(const std::vector<lectavo::Symbol>& symbols) {
    std::set<std::string> texts;
    for (const auto& s : symbols) texts.insert(TextOf(s));
    return texts;
}

TEST(DecoderApi, EverySymbolOfASheetBeyondThirtyTwoAndALimitWhenAsked) {
    const testpics::Picture sheet = Sheet(40);
    const auto all = lectavo::Decode(GreyView(sheet));
    EXPECT_EQ(all.size(), 40u);
    EXPECT_EQ(Texts(all).size(), 40u);
    lectavo::DecodeOptions five;
    five.maxSymbols = 5;
    EXPECT_EQ(lectavo::Decode(GreyView(sheet), five).size(), 5u);
}

// A thousand symbols: the call ends within its bounds (finder candidates per
// plane are capped), every result is one of the sheet's symbols, none twice,
// and more than the C interface's 32 are read.
TEST(DecoderApi, AThousandSymbolsOnOneSheet) {
    const testpics::Picture sheet = Sheet(1000, 24, 3);
    const auto all = lectavo::Decode(GreyView(sheet));
    EXPECT_EQ(Texts(all).size(), all.size());
    for (const auto& s : all) EXPECT_EQ(TextOf(s).rfind("sheet ", 0), 0u);
    EXPECT_GT(all.size(), 32u);
}

TEST(DecoderApi, ThreadsWithTheirOwnOptionsDoNotInterfere) {
    const testpics::Picture sheet = Sheet(40);
    std::vector<size_t> counts(4);
    std::vector<std::thread> threads;
    for (int t = 0; t < 4; ++t)
        threads.emplace_back([&, t] {
            lectavo::Workspace workspace;
            lectavo::DecodeOptions options;
            options.maxSymbols = t % 2 ? 3 : 0;
            for (int round = 0; round < 2; ++round)
                counts[t] = lectavo::Decode(GreyView(sheet), options, workspace).size();
        });
    for (auto& t : threads) t.join();
    EXPECT_EQ(counts, (std::vector<size_t>{40, 3, 40, 3}));
}

TEST(DecoderApi, RectangleSearchesAPartAndReportsPicturePixels) {
    const testpics::Picture one = SymbolPicture("placed");
    const testpics::Picture big = testpics::Place(one, 400, 300, 150, 90);
    const auto whole = lectavo::Decode(GreyView(big));
    ASSERT_EQ(whole.size(), 1u);
    lectavo::DecodeOptions options;
    options.rect = lectavo::Rect{140, 80, 150 + one.width + 10, 90 + one.height + 10};
    const auto part = lectavo::Decode(GreyView(big), options);
    ASSERT_EQ(part.size(), 1u);
    EXPECT_EQ(part[0].corners[0].x, whole[0].corners[0].x);
    EXPECT_EQ(part[0].corners[2].y, whole[0].corners[2].y);
    options.rect = lectavo::Rect{0, 0, 100, 80};
    EXPECT_TRUE(lectavo::Decode(GreyView(big), options).empty());
}

TEST(DecoderApi, TextIsUtf8OrCodePage936AndBinaryDataHaveNone) {
    const auto textOf = [](const std::string& bytes) {
        const testpics::Picture p = SymbolPicture(bytes);
        const auto symbols = lectavo::Decode(GreyView(p));
        EXPECT_EQ(symbols.size(), 1u);
        EXPECT_EQ(std::string(symbols.at(0).bytes.begin(), symbols.at(0).bytes.end()), bytes);
        return symbols.at(0).text;
    };
    EXPECT_EQ(textOf("caf\xc3\xa9"), "caf\xc3\xa9");
    EXPECT_EQ(textOf("\xc4\xe3\xba\xc3"), "\xe4\xbd\xa0\xe5\xa5\xbd");  // GBK for U+4F60 U+597D
    EXPECT_EQ(textOf(std::string("\x01\x02\xff\x00\x10", 5)), std::nullopt);
}

}  // namespace
