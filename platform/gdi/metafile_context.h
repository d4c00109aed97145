// Recording a drawing as a metafile in memory: a device context whose
// drawing becomes records, and whose bytes are handed out when the
// recording ends.
#pragma once

#include <cstdint>
#include <memory>
#include <vector>

#include "gdi/device_context.h"

namespace platform {

class MetafileContext : public DeviceContext {
public:
    // Both become records of the metafile.
    virtual void SetWindowExt(int width, int height) = 0;
    virtual void SetWindowOrg(int x, int y) = 0;
    // Ends the recording and returns the metafile's bytes. Call once.
    virtual std::vector<uint8_t> Close() = 0;
};

// A Windows metafile: the standard 18-byte header and records, without the
// placeable header (the caller adds it).
std::unique_ptr<MetafileContext> StartWmfRecording();

// An enhanced metafile with the screen as reference device and no bounding
// rectangle given: its header's bounds come from what was drawn.
std::unique_ptr<MetafileContext> StartEmfRecording();

}  // namespace platform
