// Whole files on Windows. A replacement is written to a temporary file in
// the target's folder and moved over the target, so a failure leaves the old
// file as it was; a file the system keeps open without sharing (a loaded
// library) cannot be replaced and the write fails. A device (NUL, COM1, ...)
// is written in place.
#include "files/whole_file.h"

#include <windows.h>
#undef DeleteFile  // the system's macro for DeleteFileA

#include <algorithm>

namespace platform {

namespace {

bool WriteAll(HANDLE file, std::initializer_list<std::span<const uint8_t>> parts) {
    for (std::span<const uint8_t> part : parts) {
        size_t done = 0;
        while (done < part.size()) {
            const DWORD chunk = static_cast<DWORD>(std::min<size_t>(part.size() - done, 1u << 30));
            DWORD written = 0;
            if (!WriteFile(file, part.data() + done, chunk, &written, nullptr) || written == 0) return false;
            done += written;
        }
    }
    return true;
}

bool IsDevice(const std::string& path) {
    HANDLE file = CreateFileA(path.c_str(), GENERIC_WRITE, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr, OPEN_EXISTING,
                              0, nullptr);
    if (file == INVALID_HANDLE_VALUE) return false;
    const bool device = GetFileType(file) != FILE_TYPE_DISK;
    CloseHandle(file);
    return device;
}

bool WriteInPlace(const std::string& path, std::initializer_list<std::span<const uint8_t>> parts) {
    HANDLE file = CreateFileA(path.c_str(), GENERIC_WRITE, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr, OPEN_EXISTING,
                              0, nullptr);
    if (file == INVALID_HANDLE_VALUE) return false;
    const bool ok = WriteAll(file, parts);
    return CloseHandle(file) && ok;
}

std::string FolderOf(const std::string& path) {
    const size_t slash = path.find_last_of("\\/");
    return slash == std::string::npos ? std::string(".") : path.substr(0, slash);
}

}  // namespace

std::optional<std::vector<unsigned char>> ReadWholeFile(const std::string& path) {
    HANDLE file = CreateFileA(path.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING,
                              FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file == INVALID_HANDLE_VALUE) return std::nullopt;
    std::vector<unsigned char> bytes;
    unsigned char buffer[65536];
    for (;;) {
        DWORD n = 0;
        if (!ReadFile(file, buffer, sizeof buffer, &n, nullptr)) {
            CloseHandle(file);
            return std::nullopt;
        }
        if (n == 0) break;
        bytes.insert(bytes.end(), buffer, buffer + n);
    }
    CloseHandle(file);
    return bytes;
}

bool WriteWholeFile(const std::string& path, std::initializer_list<std::span<const uint8_t>> parts) {
    if (path.empty()) return false;
    if (IsDevice(path)) return WriteInPlace(path, parts);
    char temp[MAX_PATH];
    if (GetTempFileNameA(FolderOf(path).c_str(), "wr", 0, temp) == 0) return false;
    HANDLE file = CreateFileA(temp, GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
    // Flushed to the disk before the move, and the move written through, so
    // a power loss leaves the old file or the new one.
    bool ok = file != INVALID_HANDLE_VALUE && WriteAll(file, parts) && FlushFileBuffers(file);
    if (file != INVALID_HANDLE_VALUE) ok = CloseHandle(file) && ok;
    if (ok && MoveFileExA(temp, path.c_str(), MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH)) return true;
    DeleteFileA(temp);
    return false;
}

bool WriteWholeFile(const std::string& path, const void* data, size_t size) {
    if (data == nullptr && size > 0) return false;
    return WriteWholeFile(path, {std::span(static_cast<const uint8_t*>(data), size)});
}

bool DeleteFile(const std::string& path) { return DeleteFileA(path.c_str()) != 0; }

}  // namespace platform
