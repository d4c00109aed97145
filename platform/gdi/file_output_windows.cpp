#include <windows.h>

#include <algorithm>

#include "gdi/file_output.h"

namespace platform {

void DeleteFileIfPresent(const char* path) {
    if (path != nullptr && *path != '\0') DeleteFileA(path);
}

bool WriteNewFile(const char* path, std::initializer_list<std::span<const uint8_t>> parts) {
    if (path == nullptr || *path == '\0') return false;
    HANDLE file = CreateFileA(path, GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file == INVALID_HANDLE_VALUE) return false;
    bool ok = true;
    for (std::span<const uint8_t> part : parts) {
        size_t done = 0;
        while (ok && done < part.size()) {
            const DWORD chunk = static_cast<DWORD>(std::min<size_t>(part.size() - done, 1u << 30));
            DWORD written = 0;
            ok = WriteFile(file, part.data() + done, chunk, &written, nullptr) && written > 0;
            done += written;
        }
    }
    if (!CloseHandle(file)) ok = false;
    if (!ok) DeleteFileA(path);
    return ok;
}

}  // namespace platform
