// Binarisation passes: which planes are searched, in which order, and what
// each plane holds.
#include <gtest/gtest.h>

#include <algorithm>
#include <random>
#include <vector>

#include "input/binarizer.h"

using lectavo::Binarize;
using lectavo::BinarizeStatus;
using lectavo::DecoderOptions;
using lectavo::SearchOutcome;

namespace {

// Records every searched plane; search number `succeedAt` (and any later
// one when `keepSucceeding`) reports success with `symbolsPerSuccess` more
// symbols.
struct Recorder {
    std::vector<std::vector<uint8_t>> planes;
    int succeedAt = -1;
    bool keepSucceeding = false;
    int symbolsPerSuccess = 1;
    int held = 0;
    bool repeatable = false;   // what every search reports
    int notRepeatableAt = -1;  // except this one
    std::vector<int> repeats;  // searches replayed, in order

    lectavo::PlaneSearch Search() {
        return [this](const uint8_t* plane, int w, int h) {
            planes.emplace_back(plane, plane + static_cast<size_t>(w) * h);
            const int n = static_cast<int>(planes.size()) - 1;
            SearchOutcome out;
            out.success = n == succeedAt || (keepSucceeding && succeedAt >= 0 && n > succeedAt);
            if (out.success) held += symbolsPerSuccess;
            out.symbolsHeld = held;
            out.repeatable = repeatable && n != notRepeatableAt;
            return out;
        };
    }
    lectavo::PlaneRepeat Repeat() {
        return [this](int search) { repeats.push_back(search); };
    }
};

DecoderOptions Options(int effect, int count = 0, uint8_t border = 0) {
    DecoderOptions o;
    o.effectLevel = effect;
    o.symbolCount = count;
    o.brightnessBorder = border;
    return o;
}

// The plane a pixel-wise rule gives.
std::vector<uint8_t> Expected(const std::vector<uint8_t>& grey, bool (*rule)(uint8_t, uint8_t), uint8_t t) {
    std::vector<uint8_t> out(grey.size());
    for (size_t i = 0; i < grey.size(); ++i) out[i] = rule(grey[i], t);
    return out;
}
bool AtMost(uint8_t g, uint8_t t) { return g <= t; }

std::vector<uint8_t> Ramp(int w, int h) {
    std::vector<uint8_t> g(static_cast<size_t>(w) * h);
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x) g[static_cast<size_t>(y) * w + x] = static_cast<uint8_t>((x * 7 + y * 13) % 256);
    return g;
}

}  // namespace

TEST(Binarizer, AllPassesRunInOrderWhenNothingIsFound) {
    const int w = 40, h = 30;
    const std::vector<uint8_t> grey = Ramp(w, h);
    Recorder r;
    EXPECT_EQ(Binarize(grey.data(), w, h, 100, false, Options(3), r.Search()), BinarizeStatus::kNothingFound);
    ASSERT_EQ(r.planes.size(), 9u);  // pass 1, 2 x retry, 3 x vote, 3 x block
    EXPECT_EQ(r.planes[0], Expected(grey, AtMost, 100));
    EXPECT_EQ(r.planes[1], Expected(grey, AtMost, 68));
    EXPECT_EQ(r.planes[2], Expected(grey, AtMost, 132));

    Recorder onlyVote, onlyBlock, none;
    Binarize(grey.data(), w, h, 100, false, Options(1), onlyVote.Search());
    Binarize(grey.data(), w, h, 100, false, Options(2), onlyBlock.Search());
    Binarize(grey.data(), w, h, 100, false, Options(0), none.Search());
    EXPECT_EQ(onlyVote.planes.size(), 6u);
    EXPECT_EQ(onlyBlock.planes.size(), 6u);
    EXPECT_EQ(none.planes.size(), 3u);
    EXPECT_EQ(onlyVote.planes[3], r.planes[3]);
    EXPECT_EQ(onlyBlock.planes[3][0], r.planes[6][0]);
}

TEST(Binarizer, RetryThresholdsWrapAroundInEightBits) {
    const int w = 21, h = 21;
    std::vector<uint8_t> grey(w * h, 250);
    grey[0] = 0;
    grey[1] = 40;
    grey[2] = 245;
    Recorder r;
    Binarize(grey.data(), w, h, 20, false, Options(0), r.Search());
    ASSERT_EQ(r.planes.size(), 3u);
    EXPECT_EQ(r.planes[1], Expected(grey, AtMost, 244));  // 20 - 32 wraps to 244
    EXPECT_EQ(r.planes[1][2], 0);
    EXPECT_EQ(r.planes[1][5], 0);
    EXPECT_EQ(r.planes[1][1], 1);

    Recorder high;
    Binarize(grey.data(), w, h, 240, false, Options(0), high.Search());
    EXPECT_EQ(high.planes[2], Expected(grey, AtMost, 16));  // 240 + 32 wraps to 16
}

TEST(Binarizer, BrightnessBorderReplacesTheFirstThresholdAndSkipsTheRetry) {
    const int w = 30, h = 25;
    const std::vector<uint8_t> grey = Ramp(w, h);
    Recorder r;
    Binarize(grey.data(), w, h, 100, false, Options(1, 0, 50), r.Search());
    ASSERT_EQ(r.planes.size(), 4u);  // pass 1, then the vote's three planes
    EXPECT_EQ(r.planes[0], Expected(grey, AtMost, 50));
    // The vote uses T, not the border; P1's frame was never written: light.
    for (int x = 0; x < w; ++x) {
        EXPECT_EQ(r.planes[2][x], 0);
        EXPECT_EQ(r.planes[3][static_cast<size_t>(h - 1) * w + x], 0);
        EXPECT_EQ(r.planes[1][x], grey[x] <= 50) << "P0's frame keeps the first pass";
    }
}

TEST(Binarizer, VoteNeedsThreeOfFiveSamples) {
    const int w = 5, h = 5;
    std::vector<uint8_t> grey(w * h, 200);
    // Centre (2, 2) light with three dark neighbours: votes dark.
    grey[1 * w + 2] = grey[2 * w + 1] = grey[2 * w + 3] = 10;
    // (1, 3) dark with only one dark neighbour besides itself: 2 votes.
    grey[3 * w + 1] = 10;
    Recorder r;
    Binarize(grey.data(), w, h, 105, false, Options(1), r.Search());
    ASSERT_EQ(r.planes.size(), 6u);
    const std::vector<uint8_t>& vote = r.planes[3];
    EXPECT_EQ(vote[2 * w + 2], 1);
    EXPECT_EQ(vote[3 * w + 1], 0);
    EXPECT_EQ(vote[1 * w + 2], 0);  // dark, but its neighbours are light
    // Frame pixels keep the earlier planes' values.
    std::vector<uint8_t> frameDark(grey);
    frameDark[0] = 10;
    Recorder f;
    Binarize(frameDark.data(), w, h, 105, false, Options(1), f.Search());
    EXPECT_EQ(f.planes[3][0], 1);
}

TEST(Binarizer, BilevelPicturesRunOnlyTheFirstAndVotePlanes) {
    const int w = 24, h = 24;
    std::vector<uint8_t> grey(w * h, 255);
    grey[5 * w + 7] = 0;                                                    // an isolated dot
    for (int y = 0; y < h; ++y) grey[static_cast<size_t>(y) * w + 15] = 0;  // a line
    Recorder r;
    EXPECT_EQ(Binarize(grey.data(), w, h, 127, true, Options(3), r.Search()), BinarizeStatus::kNothingFound);
    ASSERT_EQ(r.planes.size(), 2u);
    EXPECT_EQ(r.planes[0], Expected(grey, AtMost, 127));
    EXPECT_EQ(r.planes[1][5 * w + 7], 0) << "a dot is voted away";
    EXPECT_EQ(r.planes[1][5 * w + 15], 1) << "a line keeps three of five samples";
    Recorder blockOnly;
    Binarize(grey.data(), w, h, 127, true, Options(2), blockOnly.Search());
    EXPECT_EQ(blockOnly.planes.size(), 1u);
}

TEST(Binarizer, BlockPassUsesWholeBlocksAndStrictComparison) {
    const int w = 100, h = 50;  // 6 x 3 blocks; columns 96-99 and rows 48-49 left over
    std::vector<uint8_t> grey(static_cast<size_t>(w) * h);
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x) grey[static_cast<size_t>(y) * w + x] = (x + y) % 2 ? 100 : 50;
    // Make one block's middle equal to a pixel value: 50..150 -> L = 100.
    grey[0] = 150;
    Recorder r;
    Binarize(grey.data(), w, h, 60, false, Options(2), r.Search());
    ASSERT_EQ(r.planes.size(), 6u);
    const std::vector<uint8_t>& p0 = r.planes[3];
    const std::vector<uint8_t>& p2 = r.planes[5];
    EXPECT_EQ(p0[1], 0) << "grey 100 is not < L = 100";
    EXPECT_EQ(p0[2], 1);
    EXPECT_EQ(p0[16 + 1], 0) << "second block: L = 75, grey 100";
    EXPECT_EQ(p0[16 + 0], 1);
    EXPECT_EQ(p2[1], 1) << "100 < L + 32";
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x) {
            if (x < 96 && y < 48) continue;
            const size_t i = static_cast<size_t>(y) * w + x;
            EXPECT_EQ(p0[i], r.planes[0][i]) << x << "," << y;  // pass 1 (<= 60)
            EXPECT_EQ(p2[i], r.planes[2][i]) << x << "," << y;  // pass 2 (<= 92)
        }
}

TEST(Binarizer, StopsOnceEnoughSymbolsAreHeld) {
    const int w = 30, h = 30;
    const std::vector<uint8_t> grey = Ramp(w, h);
    Recorder first;
    first.succeedAt = 0;
    EXPECT_EQ(Binarize(grey.data(), w, h, 100, false, Options(3, 0), first.Search()), BinarizeStatus::kFound);
    EXPECT_EQ(first.planes.size(), 1u);

    // Two symbols wanted, one found per success: stops after the second.
    Recorder two;
    two.succeedAt = 1;
    two.keepSucceeding = true;
    Binarize(grey.data(), w, h, 100, false, Options(3, 2), two.Search());
    EXPECT_EQ(two.planes.size(), 3u);

    // Symbol count 2 and only one symbol ever: every allowed pass runs.
    Recorder one;
    one.succeedAt = 0;
    EXPECT_EQ(Binarize(grey.data(), w, h, 100, false, Options(3, 2), one.Search()), BinarizeStatus::kFound);
    EXPECT_EQ(one.planes.size(), 9u);
}

// Every plane of every pass, for every option combination, against the
// rules applied pixel by pixel: the vectorised rows, their ends, whole
// blocks only, and the pixels a pass leaves as they were.
TEST(Binarizer, PlanesFollowThePixelRulesForAllOptions) {
    std::mt19937 rng(3);
    for (int trial = 0; trial < 200; ++trial) {
        const int w = 21 + static_cast<int>(rng() % 70), h = 21 + static_cast<int>(rng() % 50);
        std::vector<uint8_t> grey(static_cast<size_t>(w) * h);
        for (auto& g : grey) g = static_cast<uint8_t>(trial % 2 ? rng() : 80 + rng() % 60);
        const uint8_t t = static_cast<uint8_t>(rng());
        const uint8_t border = rng() % 3 == 0 ? static_cast<uint8_t>(1 + rng() % 255) : 0;
        const int effect = static_cast<int>(rng() % 4);
        const bool bilevel = rng() % 4 == 0;

        std::vector<std::vector<uint8_t>> expected;
        std::vector<uint8_t> p[3];
        for (auto& plane : p) plane.assign(grey.size(), 0);
        auto at = [&](int x, int y) { return grey[static_cast<size_t>(y) * w + x]; };
        const uint8_t ts[3] = {t, static_cast<uint8_t>(t - 32), static_cast<uint8_t>(t + 32)};
        p[0] = Expected(grey, AtMost, border ? border : t);
        expected.push_back(p[0]);
        if (!bilevel && border == 0)
            for (int k = 1; k < 3; ++k) expected.push_back(p[k] = Expected(grey, AtMost, ts[k]));
        const int planes = bilevel ? 1 : 3;
        if (effect & 1) {
            for (int k = 0; k < planes; ++k) {
                for (int y = 1; y + 1 < h; ++y)
                    for (int x = 1; x + 1 < w; ++x) {
                        const int votes = (at(x, y) <= ts[k]) + (at(x, y - 1) <= ts[k]) + (at(x, y + 1) <= ts[k]) +
                                          (at(x - 1, y) <= ts[k]) + (at(x + 1, y) <= ts[k]);
                        p[k][static_cast<size_t>(y) * w + x] = votes >= 3;
                    }
                expected.push_back(p[k]);
            }
        }
        if (!bilevel && (effect & 2)) {
            for (int by = 0; by + 16 <= h; by += 16)
                for (int bx = 0; bx + 16 <= w; bx += 16) {
                    int lo = 255, hi = 0;
                    for (int y = by; y < by + 16; ++y)
                        for (int x = bx; x < bx + 16; ++x)
                            lo = std::min<int>(lo, at(x, y)), hi = std::max<int>(hi, at(x, y));
                    const uint8_t mid = static_cast<uint8_t>((lo + hi) / 2);
                    const uint8_t lt[3] = {mid, static_cast<uint8_t>(mid - 32), static_cast<uint8_t>(mid + 32)};
                    for (int k = 0; k < 3; ++k)
                        for (int y = by; y < by + 16; ++y)
                            for (int x = bx; x < bx + 16; ++x) p[k][static_cast<size_t>(y) * w + x] = at(x, y) < lt[k];
                }
            for (int k = 0; k < 3; ++k) expected.push_back(p[k]);
        }

        Recorder r;
        Binarize(grey.data(), w, h, t, bilevel, Options(effect, 0, border), r.Search());
        ASSERT_EQ(r.planes.size(), expected.size()) << "trial " << trial;
        for (size_t k = 0; k < expected.size(); ++k)
            EXPECT_EQ(r.planes[k], expected[k]) << "trial " << trial << " plane " << k;
    }
}

TEST(Binarizer, PlanesEqualToOneSearchedRepeatablyAreReplayed) {
    // A one-pixel checkerboard of black and white: the three thresholds give
    // one plane, the votes another (every pixel off the frame light), the
    // blocks the first again but over planes then holding the votes.
    const int w = 32, h = 32;
    std::vector<uint8_t> grey(static_cast<size_t>(w) * h);
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x) grey[static_cast<size_t>(y) * w + x] = (x + y) % 2 ? 255 : 0;
    Recorder r;
    r.repeatable = true;
    EXPECT_EQ(Binarize(grey.data(), w, h, 128, false, Options(3), r.Search(), r.Repeat()),
              BinarizeStatus::kNothingFound);
    ASSERT_EQ(r.planes.size(), 3u);
    EXPECT_EQ(r.planes[2], r.planes[0]);
    EXPECT_NE(r.planes[1], r.planes[0]);
    EXPECT_EQ(r.repeats, (std::vector<int>{0, 0, 1, 1, 2, 2}));

    // A search that is not repeatable ends the replays of earlier planes;
    // without a repeat every plane is searched.
    Recorder once;
    once.repeatable = true;
    once.notRepeatableAt = 1;
    Binarize(grey.data(), w, h, 128, false, Options(3), once.Search(), once.Repeat());
    EXPECT_EQ(once.planes.size(), 4u);
    EXPECT_EQ(once.repeats, (std::vector<int>{0, 0, 2, 3, 3}));
    Recorder never;
    never.repeatable = true;
    Binarize(grey.data(), w, h, 128, false, Options(3), never.Search());
    EXPECT_EQ(never.planes.size(), 9u);
}
