// The system's own metafile recorders: a metafile device context (Windows
// metafile) or an enhanced-metafile device context with the screen as
// reference device, both recording into memory.
#include "gdi/metafile_context.h"

#include "gdi/gdi_context.h"

namespace platform {

namespace {

class GdiRecording final : public MetafileContext {
public:
    GdiRecording(HDC dc, bool enhanced) : gdi_(dc), enhanced_(enhanced) {}
    ~GdiRecording() override {
        if (!closed_) Close();
    }

    int ResolutionX() const override { return gdi_.ResolutionX(); }
    int ResolutionY() const override { return gdi_.ResolutionY(); }
    int MapMode() const override { return gdi_.MapMode(); }
    int SetMapMode(int mode) override { return gdi_.SetMapMode(mode); }
    void FillRect(int left, int top, int right, int bottom, ColorRef color) override {
        gdi_.FillRect(left, top, right, bottom, color);
    }
    void Line(int x0, int y0, int x1, int y1) override { gdi_.Line(x0, y0, x1, y1); }
    void SetWindowExt(int width, int height) override { SetWindowExtEx(gdi_.Handle(), width, height, nullptr); }
    void SetWindowOrg(int x, int y) override { SetWindowOrgEx(gdi_.Handle(), x, y, nullptr); }

    std::vector<uint8_t> Close() override {
        std::vector<uint8_t> bytes;
        if (closed_ || gdi_.Handle() == nullptr) return bytes;
        closed_ = true;
        gdi_.Restore();
        if (enhanced_) {
            HENHMETAFILE metafile = CloseEnhMetaFile(gdi_.Handle());
            if (metafile == nullptr) return bytes;
            bytes.resize(GetEnhMetaFileBits(metafile, 0, nullptr));
            GetEnhMetaFileBits(metafile, static_cast<UINT>(bytes.size()), bytes.data());
            DeleteEnhMetaFile(metafile);
        } else {
            HMETAFILE metafile = CloseMetaFile(gdi_.Handle());
            if (metafile == nullptr) return bytes;
            bytes.resize(GetMetaFileBitsEx(metafile, 0, nullptr));
            GetMetaFileBitsEx(metafile, static_cast<UINT>(bytes.size()), bytes.data());
            DeleteMetaFile(metafile);
        }
        return bytes;
    }

private:
    GdiContext gdi_;
    bool enhanced_;
    bool closed_ = false;
};

}  // namespace

std::unique_ptr<MetafileContext> StartWmfRecording() {
    return std::make_unique<GdiRecording>(CreateMetaFileA(nullptr), false);
}

std::unique_ptr<MetafileContext> StartEmfRecording() {
    HDC screen = GetDC(nullptr);
    HDC dc = CreateEnhMetaFileA(screen, nullptr, nullptr, nullptr);
    if (screen != nullptr) ReleaseDC(nullptr, screen);
    return std::make_unique<GdiRecording>(dc, true);
}

}  // namespace platform
