#include "gdi/metafile_context.h"

#include "gdi/emf_recorder.h"
#include "gdi/wmf_recorder.h"

namespace platform {

std::unique_ptr<MetafileContext> StartWmfRecording() { return std::make_unique<WmfRecorder>(); }

std::unique_ptr<MetafileContext> StartEmfRecording() { return std::make_unique<EmfRecorder>(); }

}  // namespace platform
