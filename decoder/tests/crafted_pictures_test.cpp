// Crafted pictures (stripes in the finder rhythm, checkerboards, concentric
// squares, grids of bare finder patterns, noise, gradients, flat pictures)
// through the whole decode call with the photo stage on: nothing crashes and
// no symbol is made up. Their cost is measured by bench/crafted_bench.
#include <gtest/gtest.h>

#include "crafted_pictures.h"
#include "decode_driver.h"
#include "decoder_options.h"

namespace {

// 1 megapixel; smaller in unoptimised and sanitised builds, where the test
// would take minutes.
#if defined(NDEBUG) && !defined(__SANITIZE_ADDRESS__)
constexpr int kSide = 1000;
#else
constexpr int kSide = 240;
#endif

TEST(CraftedPictures, DecodeToNoSymbolWithThePhotoStageOn) {
    lectavo::SetSymbolCount(32);
    lectavo::SetEffectLevel(3);
    for (const crafted::Kind kind : crafted::AllKinds()) {
        const crafted::Picture p = crafted::Make(kind, kSide);
        EXPECT_EQ(lectavo::DecodeGreyIntoStore(p.pixels.data(), p.width, p.height), 0) << crafted::Name(kind);
    }
    lectavo::SetSymbolCount(0);
}

TEST(CraftedPictures, BinaryArraysDecodeToNoSymbol) {
    lectavo::SetSymbolCount(32);
    lectavo::SetEffectLevel(3);
    for (const crafted::Kind kind : {crafted::Kind::kStripesVertical1, crafted::Kind::kStripesHorizontal4,
                                     crafted::Kind::kConcentricFinder, crafted::Kind::kChecker2}) {
        crafted::Picture p = crafted::Make(kind, kSide);
        for (uint8_t& v : p.pixels) v = v < 128 ? 1 : 0;
        EXPECT_EQ(lectavo::DecodeBinaryIntoStore(p.pixels.data(), p.width, p.height), 0) << crafted::Name(kind);
    }
    lectavo::SetSymbolCount(0);
}

}  // namespace
