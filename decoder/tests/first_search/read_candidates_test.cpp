// Reading candidates into results, with the real correction and segment
// stages: decoded text and fields, corner tries on distorted symbols, one
// attempt for large versions, duplicates, the symbol limit, finder
// suppression and reading order.
#include <gtest/gtest.h>

#include <qrencode.h>

#include <cstdlib>
#include <memory>
#include <new>
#include <string>
#include <vector>

#include "sample/module_sampling.h"
#include "first_search/read_candidates.h"
#include "reading_fixture.h"

// Allocations of at least this many bytes fail while it is non-zero, so a
// growing result list can be made to run out of memory. Not inlined: the
// compiler would otherwise pair the malloc it sees at a call site with the
// free inside delete and warn about a mismatch.
static size_t gFailFrom = 0;

[[gnu::noinline]] void* operator new(size_t size) {
    if (gFailFrom != 0 && size >= gFailFrom) throw std::bad_alloc();
    if (void* p = std::malloc(size ? size : 1)) return p;
    throw std::bad_alloc();
}
[[gnu::noinline]] void operator delete(void* p) noexcept { std::free(p); }
[[gnu::noinline]] void operator delete(void* p, size_t) noexcept { std::free(p); }

namespace {

using lectavo::PointF;

testpics::Matrix FromCode(QRcode* code) {
    testpics::Matrix m;
    if (!code) return m;
    m.side = code->width;
    m.dark.resize(static_cast<size_t>(m.side) * m.side);
    for (int i = 0; i < m.side * m.side; ++i) m.dark[i] = code->data[i] & 1;
    return m;
}

std::string DataOf(const lectavo::DecodeResult& r) {
    return std::string(reinterpret_cast<const char*>(r.data), static_cast<size_t>(r.dataLength));
}

// A binary plane holding any number of placed symbols, with their
// candidates in a fresh search object.
class Scene : public ::testing::Test {
protected:
    void Open(int width, int height) {
        width_ = width;
        height_ = height;
        plane_.assign(static_cast<size_t>(width) * height, 0);
        search_ = std::make_unique<testsearch::Search>();
        search_->plane.pixels = plane_.data();
        search_->plane.width = width;
        search_->plane.height = height;
    }
    lectavo::LocatedSymbol Add(const testpics::Matrix& m, const readfix::Placement& placement) {
        readfix::PaintSymbol(plane_, width_, height_, m, placement);
        return readfix::AddCandidate(*search_, m, placement);
    }
    // Upright symbol with its top-left outer corner at (x, y).
    lectavo::LocatedSymbol AddAt(const testpics::Matrix& m, int px, float x, float y) {
        return Add(m, readfix::Shifted(readfix::Affine(m.side, static_cast<float>(px), 0, 0), x, y));
    }
    int Read(int limit = 0, int scale = 1) {
        return lectavo::ReadCandidates(search_->plane, search_->state, *search_->work, limit, scale);
    }

    int width_ = 0, height_ = 0;
    std::vector<uint8_t> plane_;
    std::unique_ptr<testsearch::Search> search_;
};

TEST_F(Scene, DecodesCleanSymbolsOfAllSizesAndTurns) {
    for (int version : {1, 2, 6, 7, 14, 27, 40})
        for (int turns = 0; turns < 4; ++turns) {
            const std::string text = readfix::Text(version * 3, static_cast<char>('A' + turns));
            const testpics::Matrix m = testpics::FromQrencode(text, version, turns);
            ASSERT_EQ(m.side, 4 * version + 17);
            const int size = (m.side + 8) * 3;
            Open(size, size);
            const lectavo::LocatedSymbol c = Add(m, readfix::Affine(m.side, 3.0f, 4, turns));
            ASSERT_EQ(Read(), 1) << "version " << version << ", " << turns << " turns";
            const lectavo::DecodeResult& r = search_->results[0];
            EXPECT_EQ(DataOf(r), text);
            EXPECT_EQ(r.version, version);
            EXPECT_EQ(r.level, c.level);
            EXPECT_EQ(r.mask, c.mask);
            EXPECT_EQ(r.sequenceTotal, 0);
            EXPECT_TRUE(search_->finders[c.a].used && search_->finders[c.b].used && search_->finders[c.c].used);
        }
}

TEST_F(Scene, ReportsCornersScaledAndTheEstimatedBottomRight) {
    const testpics::Matrix m = testpics::FromQrencode("corners", 3, 1);  // side 29
    Open(200, 200);
    AddAt(m, 4, 20, 30);
    ASSERT_EQ(Read(0, 2), 1);
    const lectavo::DecodeResult& r = search_->results[0];
    const int expected[4][2] = {{40, 60}, {2 * (20 + 116), 60}, {2 * 136, 2 * 146}, {40, 2 * 146}};
    for (int k = 0; k < 4; ++k) {
        EXPECT_EQ(r.corners[k][0], expected[k][0]) << "corner " << k;
        EXPECT_EQ(r.corners[k][1], expected[k][1]) << "corner " << k;
    }
}

// Upright at 6 px per module with the bottom-right region bent down by up to
// `bend` modules: y += bend (x / S)^2 (y / S)^2. Rows and columns stay almost
// straight near the finders, so the estimate from them misses the corner.
readfix::Placement Bent(int side, float bend) {
    const float s = static_cast<float>(side);
    const auto shift = [=](float x, float y) { return bend * (x / s) * (x / s) * (y / s) * (y / s); };
    readfix::Placement p;
    p.forward = [=](PointF a) { return PointF{6.0f * (4 + a.x), 6.0f * (4 + a.y + shift(a.x, a.y))}; };
    p.inverse = [=](PointF q) {
        const float x = q.x / 6.0f - 4, target = q.y / 6.0f - 4;
        float y = target;
        for (int i = 0; i < 20; ++i) y = target - shift(x, y);
        return PointF{x, y};
    };
    return p;
}

TEST_F(Scene, BentBottomRightOfSmallVersionsIsReadThroughALaterOffset) {
    const struct {
        int version;
        float bend;
    } cases[] = {{1, 2.5f}, {2, 5.0f}, {5, 4.0f}};
    for (const auto& k : cases) {
        const testpics::Matrix m = testpics::FromQrencode(readfix::Text(10), k.version, 0);
        const int size = (m.side + 14) * 6;
        Open(size, size);
        const lectavo::LocatedSymbol c = Add(m, Bent(m.side, k.bend));
        int anchors[lectavo::kMaxTracks];
        ASSERT_GT(lectavo::PlaceSymbolTracks(search_->plane, search_->reading, c, anchors), 0);
        const int last = m.side - 1;
        const PointF estimate = search_->reading.rowTrack[1][last];
        ASSERT_EQ(Read(), 1) << "version " << k.version;
        EXPECT_EQ(DataOf(search_->results[0]), readfix::Text(10));
        const PointF used = search_->reading.rowTrack[1][last];
        EXPECT_TRUE(used.x != estimate.x || used.y != estimate.y) << "version " << k.version;
        if (k.version == 1) {  // the second try: half a module (3 px) along v
            EXPECT_FLOAT_EQ(used.x, estimate.x);
            EXPECT_FLOAT_EQ(used.y, estimate.y + 3.0f);
        }
    }
}

TEST_F(Scene, LargeVersionsGetOneAttemptOnly) {
    for (int version : {3, 7}) {
        testpics::Matrix m = testpics::FromQrencode(readfix::Text(20), version, 0);
        for (int y = 9; y < m.side - 9; ++y)  // wipe most of the data
            for (int x = 9; x < m.side - 9; ++x) m.dark[static_cast<size_t>(y) * m.side + x] = (x * y) % 3 == 0;
        Open(300, 300);
        const lectavo::LocatedSymbol c = AddAt(m, 4, 20, 20);
        int anchors[lectavo::kMaxTracks];
        const int count = lectavo::PlaceSymbolTracks(search_->plane, search_->reading, c, anchors);
        const int last = m.side - 1, edge = count - 1;
        const PointF estimate = search_->reading.rowTrack[edge][last];
        EXPECT_EQ(Read(), 0);
        const PointF after = search_->reading.rowTrack[edge][last];
        if (version >= 7) {
            EXPECT_EQ(after.x, estimate.x);
            EXPECT_EQ(after.y, estimate.y);
        } else {  // all 81 tries ran; the last moved the corner by (-2, -2) modules
            EXPECT_FLOAT_EQ(after.x, estimate.x - 8.0f);
            EXPECT_FLOAT_EQ(after.y, estimate.y - 8.0f);
        }
        EXPECT_FALSE(search_->finders[c.a].used);
    }
}

TEST_F(Scene, SameSymbolFromTheHalfResolutionPassIsDroppedAsDuplicate) {
    const testpics::Matrix m = testpics::FromQrencode("twice", 2, 1);
    Open(300, 300);
    AddAt(m, 6, 31, 40);
    ASSERT_EQ(Read(), 1);
    // The half-resolution pass sees the symbol at 3 px per module.
    std::vector<lectavo::DecodeResult> kept = search_->results;
    Open(150, 150);
    search_->results = kept;
    AddAt(m, 3, 15, 20);
    EXPECT_EQ(Read(0, 2), 1);
    EXPECT_TRUE(search_->finders[0].used);  // read, then dropped
}

TEST_F(Scene, SymbolLimitStopsAfterTheFirstDecodedSymbol) {
    Open(400, 200);
    const testpics::Matrix a = testpics::FromQrencode("first", 1, 0), b = testpics::FromQrencode("second", 1, 0);
    AddAt(a, 5, 20, 20);
    const lectavo::LocatedSymbol second = AddAt(b, 5, 220, 20);
    EXPECT_EQ(Read(1), 1);
    EXPECT_EQ(DataOf(search_->results[0]), "first");
    EXPECT_FALSE(search_->finders[second.a].used);
    EXPECT_EQ(Read(0), 2);  // the next pass reads what is left
}

TEST_F(Scene, ResultsComeInReadingOrder) {
    Open(700, 500);
    const char* texts[5] = {"r0c2", "r1c1", "r0c0", "r1c0", "r0c1"};
    const float xy[5][2] = {{460, 30}, {240, 260}, {20, 40}, {20, 250}, {240, 20}};
    for (int i = 0; i < 5; ++i) AddAt(testpics::FromQrencode(texts[i], 2, 1), 6, xy[i][0], xy[i][1]);
    ASSERT_EQ(Read(), 5);
    const char* expected[5] = {"r0c0", "r0c1", "r0c2", "r1c0", "r1c1"};
    for (int i = 0; i < 5; ++i) EXPECT_EQ(DataOf(search_->results[i]), expected[i]) << i;
}

TEST_F(Scene, NearbyFinderEchoesAreSuppressedAndUsedFindersSkipped) {
    const testpics::Matrix m = testpics::FromQrencode("echo", 1, 0);
    Open(300, 300);
    const lectavo::LocatedSymbol c = AddAt(m, 6, 30, 30);  // finder side 42 px, radius 0.25 * 59.4
    lectavo::FinderPattern near, far;
    near.x = search_->finders[c.b].x + 10.0f;
    near.y = search_->finders[c.b].y + 10.0f;  // 14.1 px away
    far.x = search_->finders[c.b].x + 12.0f;
    far.y = search_->finders[c.b].y + 12.0f;  // 17 px away
    search_->finders.push_back(near);
    search_->finders.push_back(far);
    lectavo::LocatedSymbol again = c;  // the same triple listed twice
    search_->candidates.push_back(again);
    EXPECT_EQ(Read(), 1);
    EXPECT_TRUE(search_->finders[3].used);
    EXPECT_FALSE(search_->finders[4].used);
}

TEST_F(Scene, StructuredAppendHeaderFillsTheSequenceFields) {
    QRinput_Struct* s = QRinput_Struct_new();
    for (const char* part : {"part one of two", "part two of two"}) {
        QRinput* input = QRinput_new2(2, QR_ECLEVEL_M);
        QRinput_append(input, QR_MODE_8, static_cast<int>(std::string(part).size()),
                       reinterpret_cast<const unsigned char*>(part));
        QRinput_Struct_appendInput(s, input);
    }
    QRinput_Struct_setParity(s, 0xA5);
    ASSERT_EQ(QRinput_Struct_insertStructuredAppendHeaders(s), 0);
    QRcode_List* list = QRcode_encodeInputStructured(s);
    ASSERT_NE(list, nullptr);
    ASSERT_NE(list->next, nullptr);
    const testpics::Matrix m = FromCode(list->next->code);
    QRcode_List_free(list);
    QRinput_Struct_free(s);
    Open(250, 250);
    AddAt(m, 6, 20, 20);
    ASSERT_EQ(Read(), 1);
    const lectavo::DecodeResult& r = search_->results[0];
    EXPECT_EQ(DataOf(r), "part two of two");
    EXPECT_EQ(r.sequencePosition, 1);
    EXPECT_EQ(r.sequenceTotal, 2);
    EXPECT_EQ(r.sequenceParity, 0xA5);
}

TEST_F(Scene, EciAtTheStartYieldsNoResult) {
    QRinput* input = QRinput_new2(2, QR_ECLEVEL_M);
    QRinput_appendECIheader(input, 26);
    QRinput_append(input, QR_MODE_8, 5, reinterpret_cast<const unsigned char*>("hello"));
    QRcode* code = QRcode_encodeInput(input);
    const testpics::Matrix m = FromCode(code);
    QRcode_free(code);
    QRinput_free(input);
    ASSERT_EQ(m.side, 25);
    Open(250, 250);
    const lectavo::LocatedSymbol c = AddAt(m, 6, 20, 20);
    EXPECT_EQ(Read(), 0);
    EXPECT_TRUE(search_->finders[c.a].used);  // read, but its data are not supported
}

TEST_F(Scene, ResultListThatCannotGrowThrowsAtOnce) {
    Open(400, 200);
    AddAt(testpics::FromQrencode("one", 1, 0), 5, 20, 20);
    AddAt(testpics::FromQrencode("two", 1, 0), 5, 220, 20);
    search_->results.resize(1);
    search_->results.shrink_to_fit();
    search_->results[0].corners[0][0] = 1000;  // not a duplicate of either
    gFailFrom = 2 * sizeof(lectavo::DecodeResult);
    EXPECT_THROW(Read(), std::bad_alloc);
    gFailFrom = 0;
    EXPECT_EQ(search_->results.size(), 1u);
    EXPECT_FALSE(search_->finders[3].used);  // the loop ended at once
}

TEST_F(Scene, InvalidCandidatesAreSkipped) {
    const testpics::Matrix m = testpics::FromQrencode("skip", 1, 0);
    Open(200, 200);
    lectavo::LocatedSymbol c = AddAt(m, 5, 20, 20);
    search_->candidates.clear();
    for (int bad = 0; bad < 4; ++bad) {
        lectavo::LocatedSymbol copy = c;
        if (bad == 0) copy.a = 99;
        if (bad == 1) copy.version = 41;
        if (bad == 2) copy.mask = 8;
        if (bad == 3) copy.level = -1;
        search_->candidates.push_back(copy);
    }
    EXPECT_EQ(Read(), 0);
}

}  // namespace
