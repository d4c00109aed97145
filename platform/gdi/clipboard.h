// The clipboard: an enhanced metafile is offered under the MIME type
// image/emf through wl-copy (Wayland display set) or xclip (X display set).
#pragma once

#include <cstdint>
#include <vector>

namespace platform {

inline constexpr const char* kEmfMimeType = "image/emf";

// Hands `emf` to the clipboard tool, which keeps serving it after this
// returns. False when there is no display (the clipboard cannot be opened)
// or the tool cannot be started or reports failure.
bool PutEnhancedMetafileOnClipboard(const std::vector<uint8_t>& emf);

}  // namespace platform
