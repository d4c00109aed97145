#include "filemap/mapped_file.h"

#include <fcntl.h>
#include <sys/mman.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>

namespace platform {

namespace {

// A descriptor for reading, or the status that says why there is none.
OpenStatus Open(const char* path, int& fd, struct stat& info) {
    fd = -1;
    if (path == nullptr) return OpenStatus::kFailed;
    fd = ::open(path, O_RDONLY | O_CLOEXEC);
    if (fd < 0) {
        if (errno == ENOENT || errno == ENOTDIR) return OpenStatus::kNotFound;
        return errno == EACCES || errno == EPERM ? OpenStatus::kDenied : OpenStatus::kFailed;
    }
    if (::fstat(fd, &info) != 0 || S_ISDIR(info.st_mode)) {
        ::close(fd);
        fd = -1;
        return OpenStatus::kFailed;
    }
    return OpenStatus::kOpened;
}

}  // namespace

OpenStatus CheckReadable(const char* path) {
    int fd = -1;
    struct stat info {};
    const OpenStatus status = Open(path, fd, info);
    if (fd >= 0) ::close(fd);
    return status;
}

MappedFile::MappedFile(const char* path) {
    int fd = -1;
    struct stat info {};
    status_ = Open(path, fd, info);
    if (status_ != OpenStatus::kOpened) return;
    file_ = fd;
    size_ = info.st_size;
    if (size_ <= 0) return;
    void* view = ::mmap(nullptr, static_cast<size_t>(size_), PROT_READ, MAP_PRIVATE, fd, 0);
    if (view == MAP_FAILED) {
        status_ = OpenStatus::kFailed;
        return;
    }
    data_ = static_cast<const uint8_t*>(view);
}

MappedFile::~MappedFile() {
    if (data_ != nullptr) ::munmap(const_cast<uint8_t*>(data_), static_cast<size_t>(size_));
    if (file_ >= 0) ::close(static_cast<int>(file_));
}

}  // namespace platform
