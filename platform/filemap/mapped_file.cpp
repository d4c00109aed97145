#include "filemap/mapped_file.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <new>

namespace platform {

namespace {

// A descriptor for reading a regular file, or the status that says why there
// is none. The file is opened without waiting (a pipe without a writer would
// block an ordinary open) and the opened descriptor's own type decides, so a
// path swapped between a check and the open cannot mislead the reader.
OpenStatus Open(const char* path, int& fd, struct stat& info) {
    fd = -1;
    if (path == nullptr) return OpenStatus::kFailed;
    fd = ::open(path, O_RDONLY | O_CLOEXEC | O_NONBLOCK | O_NOCTTY);
    if (fd < 0) {
        if (errno == ENOENT || errno == ENOTDIR) return OpenStatus::kNotFound;
        if (errno == ENXIO) return OpenStatus::kNotRegular;  // a socket, or a device without its driver
        return errno == EACCES || errno == EPERM ? OpenStatus::kDenied : OpenStatus::kFailed;
    }
    OpenStatus status = OpenStatus::kOpened;
    if (::fstat(fd, &info) != 0)
        status = OpenStatus::kFailed;
    else if (S_ISDIR(info.st_mode))
        status = OpenStatus::kNotFound;
    else if (!S_ISREG(info.st_mode))
        status = OpenStatus::kNotRegular;
    if (status != OpenStatus::kOpened) {
        ::close(fd);
        fd = -1;
    }
    return status;
}

}  // namespace

OpenStatus CheckReadable(const char* path) {
    int fd = -1;
    struct stat info {};
    const OpenStatus status = Open(path, fd, info);
    if (fd >= 0) ::close(fd);
    return status;
}

MappedFile::MappedFile(const char* path, int64_t maxBytes) {
    int fd = -1;
    struct stat info {};
    status_ = Open(path, fd, info);
    if (status_ != OpenStatus::kOpened) return;
    file_ = fd;
    if (info.st_size > maxBytes) {
        status_ = OpenStatus::kTooLarge;
        return;
    }
    if (info.st_size <= 0) return;
    copy_.reset(new (std::nothrow) uint8_t[static_cast<size_t>(info.st_size)]);
    if (!copy_) {
        status_ = OpenStatus::kFailed;
        return;
    }
    // The size the file had when it was opened is read; a file that has
    // shrunk since is held as far as it still reaches.
    int64_t done = 0;
    while (done < info.st_size) {
        const ssize_t n = ::read(fd, copy_.get() + done, static_cast<size_t>(info.st_size - done));
        if (n < 0 && errno == EINTR) continue;
        if (n < 0) {
            status_ = OpenStatus::kFailed;
            copy_.reset();
            return;
        }
        if (n == 0) break;
        done += n;
    }
    size_ = done;
    if (size_ > 0) data_ = copy_.get();
}

MappedFile::~MappedFile() {
    if (file_ >= 0) ::close(static_cast<int>(file_));
}

}  // namespace platform
