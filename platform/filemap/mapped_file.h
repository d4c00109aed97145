// Opening a file for reading (others may read it at the same time) and
// holding the whole of it read-only, with the reason when that fails.
//
// On Windows the file is mapped (a mapped file there cannot be shortened
// while it is mapped). Elsewhere it is read into memory once, so a file
// that another process shortens while it is being decoded can never fault
// the reader: the reader sees the bytes that were read.
#pragma once

#include <cstdint>
#include <memory>

namespace platform {

enum class OpenStatus {
    kOpened,
    kNotFound,    // no such file or folder on the way to it; a folder given as the file (not on Windows)
    kDenied,      // exists but may not be read now: no permission, or locked by another process
    kNotRegular,  // a pipe, a device or a socket: never read (not on Windows)
    kTooLarge,    // larger than the caller's bound
    kFailed,      // anything else: a read error, too little memory, a folder on Windows
};

// Opens the file and closes it again at once.
OpenStatus CheckReadable(const char* path);

class MappedFile {
public:
    // Opens and holds `path` when it is at most `maxBytes` long; Status()
    // tells how that went. An empty file is opened with no data.
    explicit MappedFile(const char* path, int64_t maxBytes = INT64_MAX);
    ~MappedFile();
    MappedFile(const MappedFile&) = delete;
    MappedFile& operator=(const MappedFile&) = delete;

    // kOpened, or why the file could not be opened; kFailed also when it
    // was opened but could not be mapped or read.
    OpenStatus Status() const { return status_; }
    const uint8_t* Data() const { return data_; }
    int64_t Size() const { return size_; }

private:
    OpenStatus status_ = OpenStatus::kFailed;
    const uint8_t* data_ = nullptr;
    int64_t size_ = 0;
    intptr_t file_ = -1;
    [[maybe_unused]] intptr_t mapping_ = 0;  // the mapping's handle, where the system has one
    std::unique_ptr<uint8_t[]> copy_;
};

}  // namespace platform
