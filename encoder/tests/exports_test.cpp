// The exported functions of the built library, bound by name as the programs
// bind them: null pointers, the 16-bit coordinates of QRRender, the
// caller-supplied device context, truth values.
#include <dlfcn.h>
#include <gtest/gtest.h>
#include <unistd.h>

#include <algorithm>
#include <cstdlib>
#include <string>
#include <vector>

#include "mosaire.h"

namespace {

struct Library {
    void* handle = dlopen(QR_BIN_DIR "/Mosaire.dll", RTLD_NOW | RTLD_LOCAL);
    template <typename F>
    F* Get(const char* name) const {
        return handle != nullptr ? reinterpret_cast<F*>(dlsym(handle, name)) : nullptr;
    }
};

const Library& Lib() {
    static Library lib;
    return lib;
}

#define BIND(name)                                        \
    const auto name = Lib().Get<decltype(::name)>(#name); \
    ASSERT_NE(name, nullptr) << #name

// A caller's context that records what the library does with it.
struct Recorder {
    QRDeviceContext dc{};
    int dpi = 96;
    int mode = 7;
    std::vector<int> modes;
    std::vector<std::vector<int>> fills;
    int lines = 0;
    Recorder() {
        dc.user = this;
        dc.resolutionX = [](QRDeviceContext* d) { return static_cast<Recorder*>(d->user)->dpi; };
        dc.resolutionY = [](QRDeviceContext* d) { return static_cast<Recorder*>(d->user)->dpi; };
        dc.getMapMode = [](QRDeviceContext* d) { return static_cast<Recorder*>(d->user)->mode; };
        dc.setMapMode = [](QRDeviceContext* d, int32_t m) {
            auto* r = static_cast<Recorder*>(d->user);
            r->modes.push_back(m);
            const int previous = r->mode;
            r->mode = m;
            return previous;
        };
        dc.fillRect = [](QRDeviceContext* d, int32_t l, int32_t t, int32_t r, int32_t b, uint32_t c) {
            static_cast<Recorder*>(d->user)->fills.push_back({l, t, r, b, int(c)});
        };
        dc.line = [](QRDeviceContext* d, int32_t, int32_t, int32_t, int32_t) {
            ++static_cast<Recorder*>(d->user)->lines;
        };
    }
};

class Exports : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_NE(Lib().handle, nullptr) << dlerror();
        BIND(QRSetMessage);
        BIND(QRSetBackColor);
        BIND(QRSetBarColor);
        BIND(QRConfigure);
        BIND(QRAppearance);
        BIND(QRSetSize);
        QRSetMessage("12");
        QRSetBackColor(255, 255, 255);
        QRSetBarColor(0, 0, 0);
        QRConfigure(0, 0, 0);
        QRAppearance(0.2, 1, 0);
        QRSetSize(500, 500);
    }
};

TEST_F(Exports, NullPointersNeverCrash) {
    BIND(QRSetMessage);
    BIND(QRRender);
    BIND(QRGetActualSize);
    BIND(QRGetActualRC);
    BIND(QRSaveAsBMP);
    BIND(QRSaveAsWMF);
    BIND(QRGetPatternData);
    QRSetMessage(nullptr);
    QRRender(nullptr, 0, 0);
    QRGetActualSize(0, nullptr, nullptr, nullptr);
    QRGetActualSize(-1, nullptr, nullptr, nullptr);
    QRGetActualRC(nullptr, nullptr);
    EXPECT_EQ(QRSaveAsBMP(nullptr), 0);
    EXPECT_EQ(QRSaveAsWMF(nullptr), 0);
    EXPECT_EQ(QRGetPatternData(nullptr, nullptr, nullptr, nullptr), 0);
    uint32_t size = 1000;
    EXPECT_EQ(QRGetPatternData(nullptr, &size, nullptr, nullptr), 0);  // no buffer: size only
    EXPECT_EQ(size, 441u);    // null stored an empty message: version 1; no buffer, so size only
    QRDeviceContext empty{};  // every callback missing
    QRSetMessage("12");
    QRRender(&empty, 0, 0);
    int32_t w = -1, h = -1;
    QRGetActualSize(0, &empty, &w, &h);
    EXPECT_EQ(w, 0);  // resolution 0 gives a zero module
}

TEST_F(Exports, OverlongMessageIsCutAndCannotBeEncoded) {
    BIND(QRSetMessage);
    BIND(QRGetActualRC);
    const std::string huge(100000, '7');
    QRSetMessage(huge.c_str());
    int16_t rows = -1, cols = -1;
    QRGetActualRC(&rows, &cols);
    EXPECT_EQ(rows, 0);
    EXPECT_EQ(cols, 0);
}

TEST_F(Exports, RenderTakesCoordinatesAsUnsigned16BitsAndRestoresTheMode) {
    BIND(QRRender);
    BIND(QRGetPatternData);
    Recorder rec;
    QRRender(&rec.dc, 65536 + 10, -1);
    ASSERT_FALSE(rec.fills.empty());
    EXPECT_EQ(rec.fills[0], (std::vector<int>{10, 65535, 510, 65535 + 500, 0xFFFFFF}));
    std::vector<unsigned char> pattern(441);
    uint32_t size = 441;
    ASSERT_EQ(QRGetPatternData(pattern.data(), &size, nullptr, nullptr), -1);
    const size_t dark = std::count(pattern.begin(), pattern.end(), '1');
    ASSERT_EQ(rec.fills.size(), 1 + dark);  // background, then one fill per dark module
    EXPECT_EQ(rec.fills[1][2] - rec.fills[1][0], 8);
    EXPECT_EQ(rec.modes, (std::vector<int>{QR_MM_TEXT, 7}));
    EXPECT_EQ(rec.mode, 7);
    EXPECT_EQ(rec.lines, 0);
}

TEST_F(Exports, ActualSizeFromScreenOrCallerContext) {
    BIND(QRGetActualSize);
    BIND(QRGetActualRC);
    BIND(QRSetMessage);
    int32_t w = 0, h = 0;
    QRGetActualSize(-1, nullptr, &w, &h);
    EXPECT_EQ(w, 168);
    EXPECT_EQ(h, 168);
    QRGetActualSize(0xFFFF, nullptr, &w, &h);  // only the low 16 bits count
    EXPECT_EQ(w, 168);
    Recorder rec;
    rec.dpi = 192;
    QRGetActualSize(0, &rec.dc, &w, &h);
    EXPECT_EQ(w, 21 * 15);  // 192 * 0.2 / 2.54 = 15.1
    QRSetMessage("abcdefghijklmnopqrstuvwxyzabcdefghijklmn");
    int16_t rows = 0, cols = 0;
    QRGetActualRC(&rows, &cols);
    EXPECT_EQ(rows, 29);
    EXPECT_EQ(cols, 29);
}

TEST_F(Exports, OutputsReturnSixteenBitTruth) {
    BIND(QRSaveAsBMP);
    BIND(QRSetSize);
    BIND(QRCopyToClipboard);
    BIND(QRGetPatternData);
    char tmpl[] = "/tmp/exports_test_XXXXXX";
    ASSERT_NE(mkdtemp(tmpl), nullptr);
    const std::string path = std::string(tmpl) + "/a.bmp";
    EXPECT_EQ(QRSaveAsBMP(path.c_str()), -1);
    QRSetSize(40000, 500);
    EXPECT_EQ(QRSaveAsBMP(path.c_str()), 0);
    EXPECT_EQ(access(path.c_str(), F_OK), 0);  // the first file is kept
    QRSetSize(-3, 500);
    EXPECT_EQ(QRSaveAsBMP(path.c_str()), 0);
    unlink(path.c_str());
    rmdir(tmpl);

    uint32_t size = 0;
    int16_t rows = 0, cols = 0;
    EXPECT_EQ(QRGetPatternData(nullptr, &size, &rows, &cols), 0);
    EXPECT_EQ(size, 441u);
    std::vector<unsigned char> buffer(size);
    EXPECT_EQ(QRGetPatternData(buffer.data(), &size, &rows, &cols), -1);

    if (std::getenv("DISPLAY") == nullptr && std::getenv("WAYLAND_DISPLAY") == nullptr) {
        EXPECT_EQ(QRCopyToClipboard(), 0);
    }
}

}  // namespace
