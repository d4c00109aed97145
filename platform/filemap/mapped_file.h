// Opening a file for reading (others may read it at the same time) and
// mapping the whole of it read-only, with the reason when that fails.
#pragma once

#include <cstdint>

namespace platform {

enum class OpenStatus {
    kOpened,
    kNotFound,  // no such file or folder on the way to it
    kDenied,    // exists but may not be read now: no permission, or locked by another process
    kFailed,    // anything else, a folder given as the file among them
};

// Opens the file and closes it again at once.
OpenStatus CheckReadable(const char* path);

class MappedFile {
public:
    // Opens and maps `path`; Status() tells how that went. An empty file is
    // opened with no data.
    explicit MappedFile(const char* path);
    ~MappedFile();
    MappedFile(const MappedFile&) = delete;
    MappedFile& operator=(const MappedFile&) = delete;

    // kOpened, or why the file could not be opened; kFailed also when it
    // was opened but could not be mapped.
    OpenStatus Status() const { return status_; }
    const uint8_t* Data() const { return data_; }
    int64_t Size() const { return size_; }

private:
    OpenStatus status_ = OpenStatus::kFailed;
    const uint8_t* data_ = nullptr;
    int64_t size_ = 0;
    intptr_t file_ = -1;
    intptr_t mapping_ = 0;
};

}  // namespace platform
