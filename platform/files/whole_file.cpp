#include "files/whole_file.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>

namespace platform {
namespace {

// As many links as the kernel follows in one path before giving up (ELOOP).
constexpr int kMaxLinkHops = 40;

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
    return slash == std::string::npos ? std::string(".") : path.substr(0, slash);
}

// The path with every symbolic link at its end followed: the file a write
// through `path` reaches. A dangling link yields the path it points to.
std::optional<std::string> FollowLinks(std::string path) {
    for (int hop = 0; hop <= kMaxLinkHops; ++hop) {
        struct stat info {};
        if (lstat(path.c_str(), &info) != 0 || !S_ISLNK(info.st_mode)) return path;
        std::string target(static_cast<size_t>(info.st_size > 0 ? info.st_size : 0) + 256, '\0');
        const ssize_t n = readlink(path.c_str(), target.data(), target.size());
        if (n < 0 || static_cast<size_t>(n) >= target.size()) return std::nullopt;
        target.resize(static_cast<size_t>(n));
        path = target.front() == '/' ? target : FolderOf(path) + "/" + target;
    }
    return std::nullopt;
}

bool WriteInPlace(const std::string& path, std::initializer_list<std::span<const uint8_t>> parts) {
    const int fd = open(path.c_str(), O_WRONLY | O_TRUNC | O_CLOEXEC);
    if (fd < 0) return false;
    const bool ok = WriteAll(fd, parts);
    return close(fd) == 0 && ok;
}

mode_t NewFileMode() {
    const mode_t mask = umask(0);
    umask(mask);
    return 0666 & ~mask;
}

bool ReplaceByRename(const std::string& path, mode_t mode, std::initializer_list<std::span<const uint8_t>> parts) {
    std::string temp = FolderOf(path) + "/.write-XXXXXX";
    const int fd = mkostemp(temp.data(), O_CLOEXEC);
    if (fd < 0) return false;
    bool ok = WriteAll(fd, parts);
    ok = ok && fchmod(fd, mode) == 0;  // mkstemp makes the file private
    ok = close(fd) == 0 && ok;
    if (ok && std::rename(temp.c_str(), path.c_str()) == 0) return true;
    unlink(temp.c_str());
    return false;
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

bool WriteWholeFile(const std::string& path, std::initializer_list<std::span<const uint8_t>> parts) {
    if (path.empty()) return false;
    const std::optional<std::string> target = FollowLinks(path);
    if (!target) return false;
    struct stat info {};
    if (stat(target->c_str(), &info) != 0) {
        if (errno != ENOENT) return false;
        return ReplaceByRename(*target, NewFileMode(), parts);
    }
    if (!S_ISREG(info.st_mode)) return WriteInPlace(*target, parts);
    return ReplaceByRename(*target, info.st_mode & 07777, parts);
}

bool WriteWholeFile(const std::string& path, const void* data, size_t size) {
    if (data == nullptr && size > 0) return false;
    return WriteWholeFile(path, {std::span(static_cast<const uint8_t*>(data), size)});
}

bool DeleteFile(const std::string& path) { return unlink(path.c_str()) == 0; }

}  // namespace platform
