// The encoder on Windows' own services: drawing on a caller's HDC, the BMP
// packed by the system, and metafiles from the system's recorders, which GDI
// plays back to the same modules.
#include <gtest/gtest.h>

#include <windows.h>

#include <cstdio>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <vector>

#include "caller_context.h"
#include "drawing.h"
#include "gdi/screen.h"
#include "outputs.h"
#include "settings.h"

namespace {

constexpr int kSide = 300;

std::vector<uint8_t> ReadAll(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), {}};
}

// A white memory context of kSide x kSide pixels with a 32-bit DIB behind it.
class Canvas {
public:
    Canvas() {
        dc_ = CreateCompatibleDC(nullptr);
        BITMAPINFO info{};
        info.bmiHeader = {sizeof(BITMAPINFOHEADER), kSide, -kSide, 1, 32, BI_RGB, 0, 0, 0, 0, 0};
        void* bits = nullptr;
        bitmap_ = CreateDIBSection(dc_, &info, DIB_RGB_COLORS, &bits, nullptr, 0);
        bits_ = static_cast<const uint32_t*>(bits);
        old_ = SelectObject(dc_, bitmap_);
        PatBlt(dc_, 0, 0, kSide, kSide, WHITENESS);
    }
    ~Canvas() {
        SelectObject(dc_, old_);
        DeleteObject(bitmap_);
        DeleteDC(dc_);
    }
    HDC dc() const { return dc_; }
    bool Dark(int x, int y) const {
        GdiFlush();
        return (bits_[y * kSide + x] & 0xFFFFFF) == 0;
    }

private:
    HDC dc_;
    HBITMAP bitmap_;
    HGDIOBJ old_;
    const uint32_t* bits_ = nullptr;
};

class WindowsOutputs : public ::testing::Test {
protected:
    void SetUp() override {
        s = {};
        mosaire::SetMessage(s, "Windows 12345");
        mosaire::SetBackColor(s, 255, 255, 255);
        mosaire::SetBarColor(s, 0, 0, 0);
        mosaire::Configure(s, 0, 2, 0);
        mosaire::Appearance(s, 0.1, 0, 0);
        mosaire::SetSize(s, kSide, kSide);
    }
    // The modules as pattern text: byte y * n + x is column x, row y.
    std::string Pattern(int& n) {
        uint32_t size = 0;
        int16_t rows = 0;
        mosaire::GetPatternData(s, nullptr, size, &rows, nullptr);
        std::string text(size, '0');
        mosaire::GetPatternData(s, reinterpret_cast<uint8_t*>(text.data()), size, nullptr, nullptr);
        n = rows;
        return text;
    }
    // Every module's centre on the canvas is dark exactly where the pattern says.
    void ExpectModules(const Canvas& canvas, int edge) {
        int n = 0;
        const std::string pattern = Pattern(n);
        ASSERT_GT(n, 0);
        const int m = edge / n, offset = (kSide - edge) / 2;
        for (int y = 0; y < n; ++y)
            for (int x = 0; x < n; ++x)
                ASSERT_EQ(canvas.Dark(offset + x * m + m / 2, offset + y * m + m / 2), pattern[y * n + x] == '1')
                    << "module " << x << ", " << y;
    }

    mosaire::EncoderSettings s;
};

}  // namespace

TEST_F(WindowsOutputs, RenderDrawsOnTheCallersDeviceContext) {
    Canvas canvas;
    SetMapMode(canvas.dc(), MM_LOMETRIC);
    const auto context = mosaire::CallerContext(canvas.dc());
    const int32_t edge = mosaire::ActualSize(s, *context);
    ASSERT_GT(edge, 0);
    mosaire::Render(s, *context, 0, 0);
    EXPECT_EQ(GetMapMode(canvas.dc()), MM_LOMETRIC);  // put back after drawing
    ExpectModules(canvas, edge);
}

TEST_F(WindowsOutputs, BmpAndBothMetafilesShowTheSameModules) {
    const std::string dir = std::filesystem::temp_directory_path().string();
    const std::string bmp = dir + "\\windows_outputs.bmp", wmf = dir + "\\windows_outputs.wmf";
    ASSERT_TRUE(mosaire::SaveAsBmp(s, bmp.c_str()));
    const std::vector<uint8_t> file = ReadAll(bmp);
    ASSERT_EQ(file.size(), 62u + 40u * kSide);  // 1 bit per pixel, rows of 40 bytes
    EXPECT_EQ(file[28], 1);
    const int edge = mosaire::ModulePixels(s, *platform::Screen(), mosaire::ResolutionRule::kOutputSurface) * [&] {
        int n = 0;
        Pattern(n);
        return n;
    }();

    Canvas fromBmp;
    SetDIBitsToDevice(fromBmp.dc(), 0, 0, kSide, kSide, 0, 0, 0, kSide, file.data() + 62,
                      reinterpret_cast<const BITMAPINFO*>(file.data() + 14), DIB_RGB_COLORS);
    ExpectModules(fromBmp, edge);

    ASSERT_TRUE(mosaire::SaveAsWmf(s, wmf.c_str()));
    const std::vector<uint8_t> placeable = ReadAll(wmf);
    ASSERT_GT(placeable.size(), 22u + 18u);
    Canvas fromWmf;
    HMETAFILE metafile = SetMetaFileBitsEx(static_cast<UINT>(placeable.size() - 22), placeable.data() + 22);
    ASSERT_NE(metafile, nullptr);
    EXPECT_TRUE(PlayMetaFile(fromWmf.dc(), metafile));
    DeleteMetaFile(metafile);
    ExpectModules(fromWmf, edge);

    const std::vector<uint8_t> emf = mosaire::RecordEnhancedMetafile(s);
    HENHMETAFILE enhanced = SetEnhMetaFileBits(static_cast<UINT>(emf.size()), emf.data());
    ASSERT_NE(enhanced, nullptr);
    ENHMETAHEADER header{};
    GetEnhMetaFileHeader(enhanced, sizeof header, &header);
    const RECT to{0, 0, header.rclBounds.right + 1, header.rclBounds.bottom + 1};
    Canvas fromEmf;
    EXPECT_TRUE(PlayEnhMetaFile(fromEmf.dc(), enhanced, &to));
    DeleteEnhMetaFile(enhanced);
    ExpectModules(fromEmf, edge);
    std::remove(bmp.c_str());
    std::remove(wmf.c_str());
}

TEST_F(WindowsOutputs, ClipboardHoldsAnEnhancedMetafile) {
    if (!mosaire::CopyToClipboard(s)) GTEST_SKIP() << "the clipboard cannot be opened (no display)";
    ASSERT_TRUE(OpenClipboard(nullptr));
    EXPECT_TRUE(IsClipboardFormatAvailable(CF_ENHMETAFILE));
    CloseClipboard();
}
