// Records drawing as an enhanced metafile in memory, with a reference device
// (resolution and size) and no given bounding rectangle: the header's bounds
// and frame come from what was drawn.
#pragma once

#include <cstdint>
#include <vector>

#include "gdi/metafile_recorder.h"
#include "gdi/screen.h"

namespace platform {

// The reference device: by default the screen.
struct EmfReference {
    int dpiX = kScreenDpi;
    int dpiY = kScreenDpi;
    int widthPixels = kScreenWidthPixels;
    int heightPixels = kScreenHeightPixels;
};

class EmfRecorder final : public MetafileRecorder {
public:
    explicit EmfRecorder(EmfReference reference = EmfReference{});

    int ResolutionX() const override { return ref_.dpiX; }
    int ResolutionY() const override { return ref_.dpiY; }
    int SetMapMode(int mode) override;

    void SetWindowExt(int width, int height) override;
    void SetWindowOrg(int x, int y) override;

    // Ends the recording (objects deleted, end record, header completed) and
    // returns the metafile's bytes. Call once.
    std::vector<uint8_t> Close() override;

private:
    void Begin(uint32_t type, uint32_t size);
    void EmitCreateBrush(int index, ColorRef color) override;
    void EmitCreatePen(int index, ColorRef color) override;
    void EmitSelect(int index) override;
    void EmitDelete(int index) override;
    void EmitRectangle(int left, int top, int right, int bottom) override;
    void EmitMoveTo(int x, int y) override;
    void EmitLineTo(int x, int y) override;

    EmfReference ref_;
    std::vector<uint8_t> bytes_;
    uint32_t records_ = 0;
};

// Record types used.
inline constexpr uint32_t kEmrHeader = 1;
inline constexpr uint32_t kEmrSetWindowExtEx = 9;
inline constexpr uint32_t kEmrSetWindowOrgEx = 10;
inline constexpr uint32_t kEmrEof = 14;
inline constexpr uint32_t kEmrSetMapMode = 17;
inline constexpr uint32_t kEmrMoveToEx = 27;
inline constexpr uint32_t kEmrSelectObject = 37;
inline constexpr uint32_t kEmrCreatePen = 38;
inline constexpr uint32_t kEmrCreateBrushIndirect = 39;
inline constexpr uint32_t kEmrDeleteObject = 40;
inline constexpr uint32_t kEmrRectangle = 43;
inline constexpr uint32_t kEmrLineTo = 54;
inline constexpr uint32_t kEmrHeaderSize = 108;

}  // namespace platform
