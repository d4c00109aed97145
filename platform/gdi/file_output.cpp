#include "gdi/file_output.h"

#include <fcntl.h>
#include <unistd.h>

#include <cerrno>

namespace platform {

void DeleteFileIfPresent(const char* path) {
    if (path != nullptr && *path != '\0') unlink(path);
}

bool WriteNewFile(const char* path, std::initializer_list<std::span<const uint8_t>> parts) {
    if (path == nullptr || *path == '\0') return false;
    const int fd = open(path, O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0666);
    if (fd < 0) return false;
    bool ok = true;
    for (std::span<const uint8_t> part : parts) {
        size_t done = 0;
        while (ok && done < part.size()) {
            const ssize_t n = write(fd, part.data() + done, part.size() - done);
            if (n < 0 && errno == EINTR) continue;
            if (n <= 0)
                ok = false;
            else
                done += static_cast<size_t>(n);
        }
    }
    if (close(fd) != 0) ok = false;
    if (!ok) unlink(path);
    return ok;
}

}  // namespace platform
