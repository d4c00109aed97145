// Records drawing as a standard Windows metafile (the 18-byte header and
// records, without the placeable header, which the caller adds).
#pragma once

#include <cstdint>
#include <vector>

#include "gdi/metafile_recorder.h"

namespace platform {

class WmfRecorder final : public MetafileRecorder {
public:
    WmfRecorder() : MetafileRecorder(0) {}

    // A metafile has no device: its resolution reads as 0.
    int ResolutionX() const override { return 0; }
    int ResolutionY() const override { return 0; }
    int SetMapMode(int mode) override;

    void SetWindowExt(int width, int height) override;
    void SetWindowOrg(int x, int y) override;

    // Ends the recording (objects deleted, end record) and returns the
    // metafile's bytes. Call once.
    std::vector<uint8_t> Close() override;

private:
    void Record(uint16_t function, std::initializer_list<int> params);
    void EmitCreateBrush(int index, ColorRef color) override;
    void EmitCreatePen(int index, ColorRef color) override;
    void EmitSelect(int index) override;
    void EmitDelete(int index) override;
    void EmitRectangle(int left, int top, int right, int bottom) override;
    void EmitMoveTo(int x, int y) override;
    void EmitLineTo(int x, int y) override;

    std::vector<uint8_t> records_;
    uint32_t maxRecordWords_ = 3;
};

}  // namespace platform
