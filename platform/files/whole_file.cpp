#include "files/whole_file.h"

#include <fcntl.h>
#include <sys/random.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <cstdlib>

namespace platform {
namespace {

bool WriteAll(int fd, std::initializer_list<std::span<const uint8_t>> parts) {
    for (std::span<const uint8_t> part : parts) {
        const uint8_t* data = part.data();
        size_t size = part.size();
        while (size > 0) {
            const ssize_t n = write(fd, data, size);
            if (n < 0 && errno == EINTR) continue;
            if (n <= 0) return false;
            data += n;
            size -= static_cast<size_t>(n);
        }
    }
    return true;
}

std::string FolderOf(const std::string& path) {
    const size_t slash = path.rfind('/');
    if (slash == std::string::npos) return ".";
    return slash == 0 ? std::string("/") : path.substr(0, slash);
}

// Closes `fd` on every way out of a scope.
class FileDescriptor {
public:
    explicit FileDescriptor(int fd) : fd_(fd) {}
    ~FileDescriptor() {
        if (fd_ >= 0) close(fd_);
    }
    FileDescriptor(const FileDescriptor&) = delete;
    FileDescriptor& operator=(const FileDescriptor&) = delete;
    int get() const { return fd_; }
    bool Close() {
        const int fd = fd_;
        fd_ = -1;
        return close(fd) == 0;
    }

private:
    int fd_;
};

// The absolute path of the file the kernel opened through `path`, provided
// that path still names that very file: read from /proc, or (without /proc)
// the path with its links resolved.
std::optional<std::string> PathOfOpenFile(int fd, const std::string& path) {
    struct stat opened {};
    if (fstat(fd, &opened) != 0) return std::nullopt;
    const std::string link = "/proc/self/fd/" + std::to_string(fd);
    std::string target(4096, '\0');
    const ssize_t n = readlink(link.c_str(), target.data(), target.size());
    if (n > 0 && static_cast<size_t>(n) < target.size() && target[0] == '/') {
        target.resize(static_cast<size_t>(n));
    } else {
        char* resolved = realpath(path.c_str(), nullptr);
        if (resolved == nullptr) return std::nullopt;
        target = resolved;
        std::free(resolved);
    }
    struct stat named {};
    if (stat(target.c_str(), &named) != 0 || named.st_dev != opened.st_dev || named.st_ino != opened.st_ino) {
        return std::nullopt;
    }
    return target;
}

// A new, empty file of an unpredictable name in `folder`, made by the kernel
// with `mode` less the umask; -1 on failure.
int CreateTemporary(const std::string& folder, mode_t mode, std::string* path) {
    static const char digits[] = "0123456789abcdefghijklmnopqrstuvwxyzABCDEFGHIJKLMNOPQRSTUVWXYZ";
    for (int attempt = 0; attempt < 100; ++attempt) {
        unsigned char random[8] = {};
        if (getrandom(random, sizeof random, 0) != static_cast<ssize_t>(sizeof random)) return -1;
        std::string name = folder + "/.write-";
        for (unsigned char r : random) name += digits[r % (sizeof digits - 1)];
        const int fd = open(name.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC | O_NOFOLLOW, mode);
        if (fd >= 0) {
            *path = std::move(name);
            return fd;
        }
        if (errno != EEXIST) return -1;
    }
    return -1;
}

// Makes the parts the content of a file written beside `path` and renamed
// over it, synced to the disk before and after the rename. `keep_mode` is
// the old file's mode, or nullopt for a new file (0666 less the umask, as the
// kernel applies it).
bool ReplaceByRename(const std::string& path, std::optional<mode_t> keep_mode,
                     std::initializer_list<std::span<const uint8_t>> parts) {
    const std::string folder = FolderOf(path);
    std::string temp;
    // A replacement starts private and gets the old file's mode only when
    // whole, so nobody can open it on the way who could not open the old one.
    FileDescriptor file(CreateTemporary(folder, keep_mode ? 0600 : 0666, &temp));
    if (file.get() < 0) return false;
    bool ok = WriteAll(file.get(), parts);
    if (ok && keep_mode) ok = fchmod(file.get(), *keep_mode) == 0;
    ok = ok && fsync(file.get()) == 0;
    ok = file.Close() && ok;
    if (!ok || std::rename(temp.c_str(), path.c_str()) != 0) {
        unlink(temp.c_str());
        return false;
    }
    // The rename itself reaches the disk with the folder.
    FileDescriptor directory(open(folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC));
    if (directory.get() < 0) return false;
    return fsync(directory.get()) == 0 || errno == EINVAL;  // EINVAL: a file system that cannot sync folders
}

// An existing file the kernel opened for writing through `path`.
bool WriteOpenedFile(FileDescriptor& opened, const std::string& path,
                     std::initializer_list<std::span<const uint8_t>> parts) {
    struct stat info {};
    if (fstat(opened.get(), &info) != 0) return false;
    if (!S_ISREG(info.st_mode)) {
        const bool ok = WriteAll(opened.get(), parts);
        return opened.Close() && ok;
    }
    const std::optional<std::string> target = PathOfOpenFile(opened.get(), path);
    opened.Close();
    return target && ReplaceByRename(*target, info.st_mode & 07777, parts);
}

}  // namespace

std::optional<std::vector<unsigned char>> ReadWholeFile(const std::string& path) {
    const int fd = open(path.c_str(), O_RDONLY | O_CLOEXEC);
    if (fd < 0) return std::nullopt;
    std::vector<unsigned char> bytes;
    struct stat info {};
    if (fstat(fd, &info) == 0 && S_ISREG(info.st_mode) && info.st_size > 0) {
        bytes.reserve(static_cast<size_t>(info.st_size));
    }
    unsigned char buffer[65536];
    for (;;) {
        const ssize_t n = read(fd, buffer, sizeof(buffer));
        if (n < 0 && errno == EINTR) continue;
        if (n < 0) {
            close(fd);
            return std::nullopt;
        }
        if (n == 0) break;
        bytes.insert(bytes.end(), buffer, buffer + n);
    }
    close(fd);
    return bytes;
}

// The kernel resolves the path, as it would for any program of this user:
// it follows a symbolic link only where it allows that (fs.protected_symlinks
// refuses links of other users in sticky, world-writable folders) and opens
// only what this user may write. Only a file it opened is then replaced.
bool WriteWholeFile(const std::string& path, std::initializer_list<std::span<const uint8_t>> parts) {
    if (path.empty()) return false;
    constexpr int kFlags = O_WRONLY | O_CLOEXEC | O_NOCTTY;
    FileDescriptor opened(open(path.c_str(), kFlags));
    if (opened.get() >= 0) return WriteOpenedFile(opened, path, parts);
    if (errno == ETXTBSY) {
        // A running program: writable, but only as a whole new file. The
        // kernel still resolves the path and checks the permission.
        if (faccessat(AT_FDCWD, path.c_str(), W_OK, AT_EACCESS) != 0) return false;
        FileDescriptor located(open(path.c_str(), O_PATH | O_CLOEXEC));
        struct stat info {};
        if (located.get() < 0 || fstat(located.get(), &info) != 0 || !S_ISREG(info.st_mode)) return false;
        const std::optional<std::string> target = PathOfOpenFile(located.get(), path);
        return target && ReplaceByRename(*target, info.st_mode & 07777, parts);
    }
    if (errno != ENOENT) return false;

    struct stat link {};
    if (lstat(path.c_str(), &link) != 0) {
        // No file: a new one at the path itself (a rename never follows a
        // link that may appear there meanwhile; it replaces the link).
        return errno == ENOENT && ReplaceByRename(path, std::nullopt, parts);
    }
    if (!S_ISLNK(link.st_mode)) return false;
    // A dangling link: the kernel makes its target if it follows the link,
    // which is then replaced whole like any file; removed again on failure.
    FileDescriptor made(open(path.c_str(), kFlags | O_CREAT, 0666));
    if (made.get() < 0) return false;
    struct stat info {};
    const std::optional<std::string> target = PathOfOpenFile(made.get(), path);
    if (!target) return false;
    const bool ok =
        fstat(made.get(), &info) == 0 && made.Close() && ReplaceByRename(*target, info.st_mode & 07777, parts);
    if (!ok) unlink(target->c_str());
    return ok;
}

bool WriteWholeFile(const std::string& path, const void* data, size_t size) {
    if (data == nullptr && size > 0) return false;
    return WriteWholeFile(path, {std::span(static_cast<const uint8_t*>(data), size)});
}

bool DeleteFile(const std::string& path) { return unlink(path.c_str()) == 0; }

}  // namespace platform
