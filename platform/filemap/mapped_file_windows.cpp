#include <windows.h>

#include "filemap/mapped_file.h"

namespace platform {

namespace {

OpenStatus FromError(DWORD error) {
    switch (error) {
        case ERROR_FILE_NOT_FOUND:
        case ERROR_PATH_NOT_FOUND:
            return OpenStatus::kNotFound;
        case ERROR_SHARING_VIOLATION:
        case ERROR_LOCK_VIOLATION:
        case ERROR_ACCESS_DENIED:
            return OpenStatus::kDenied;
        default:
            return OpenStatus::kFailed;
    }
}

// Why `path` could not be opened: a folder, which Windows refuses as access
// denied, counts as no file by that name, as elsewhere.
OpenStatus Failure(const char* path) {
    if (path == nullptr) return OpenStatus::kFailed;
    const DWORD error = GetLastError();
    const DWORD attributes = GetFileAttributesA(path);
    if (attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY)) return OpenStatus::kNotFound;
    return FromError(error);
}

HANDLE Open(const char* path) {
    if (path == nullptr) return INVALID_HANDLE_VALUE;
    return CreateFileA(path, GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
}

}  // namespace

OpenStatus CheckReadable(const char* path) {
    HANDLE file = Open(path);
    if (file == INVALID_HANDLE_VALUE) return Failure(path);
    CloseHandle(file);
    return OpenStatus::kOpened;
}

MappedFile::MappedFile(const char* path, int64_t maxBytes) {
    HANDLE file = Open(path);
    if (file == INVALID_HANDLE_VALUE) {
        status_ = Failure(path);
        return;
    }
    file_ = reinterpret_cast<intptr_t>(file);
    LARGE_INTEGER size{};
    if (!GetFileSizeEx(file, &size)) {
        status_ = OpenStatus::kFailed;
        return;
    }
    status_ = OpenStatus::kOpened;
    if (size.QuadPart > maxBytes) {
        status_ = OpenStatus::kTooLarge;
        return;
    }
    size_ = size.QuadPart;
    if (size_ <= 0) return;  // an empty file cannot be mapped
    if (static_cast<uint64_t>(size_) > SIZE_MAX) {
        status_ = OpenStatus::kFailed;
        return;
    }
    HANDLE mapping = CreateFileMappingA(file, nullptr, PAGE_READONLY, 0, 0, nullptr);
    if (mapping == nullptr) {
        status_ = OpenStatus::kFailed;
        return;
    }
    mapping_ = reinterpret_cast<intptr_t>(mapping);
    data_ = static_cast<const uint8_t*>(MapViewOfFile(mapping, FILE_MAP_READ, 0, 0, 0));
    if (data_ == nullptr) status_ = OpenStatus::kFailed;
}

MappedFile::~MappedFile() {
    if (data_ != nullptr) UnmapViewOfFile(data_);
    if (mapping_ != 0) CloseHandle(reinterpret_cast<HANDLE>(mapping_));
    if (file_ != -1) CloseHandle(reinterpret_cast<HANDLE>(file_));
}

}  // namespace platform
