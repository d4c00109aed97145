#include <windows.h>

#include "gdi/clipboard.h"

namespace platform {

// The clipboard takes the metafile in the enhanced-metafile format and owns
// it from then on.
bool PutEnhancedMetafileOnClipboard(const std::vector<uint8_t>& emf) {
    HENHMETAFILE metafile = SetEnhMetaFileBits(static_cast<UINT>(emf.size()), emf.data());
    if (metafile == nullptr) return false;
    if (!OpenClipboard(GetDesktopWindow())) {
        DeleteEnhMetaFile(metafile);
        return false;
    }
    EmptyClipboard();
    const bool handed = SetClipboardData(CF_ENHMETAFILE, metafile) != nullptr;
    CloseClipboard();
    if (!handed) DeleteEnhMetaFile(metafile);
    return handed;
}

}  // namespace platform
