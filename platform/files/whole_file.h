// Whole-file reading, whole-file writing and deletion.
#pragma once

#include <cstddef>
#include <cstdint>
#include <initializer_list>
#include <optional>
#include <span>
#include <string>
#include <vector>

namespace platform {

// The whole file, or nothing when it cannot be opened or read.
std::optional<std::vector<unsigned char>> ReadWholeFile(const std::string& path);

// Makes the parts, one after another, the whole content of `path`.
//
// The path is opened for writing as any program of this user would open it,
// so the kernel decides which symbolic links are followed (it refuses, for
// example, another user's link in a sticky, world-writable folder such as
// /tmp) and whether the file may be written: a file this user could not open
// for writing is never replaced. A regular file that may be written (or no
// file, or a dangling link the kernel follows) is replaced atomically: the
// bytes go to a temporary file in the target's folder, which takes the old
// file's permission bits (a new file gets 0666 less the umask, which is never
// changed), is synced to the disk, and is then renamed over the target (the
// folder is synced after the rename), so a process that has the old file
// open or mapped keeps seeing the old contents, and a failure (an unwritable
// folder, a full disk) leaves the old file as it was. Anything else at the
// path (a device, a pipe) is written in place, never replaced.
//
// False on failure; no temporary file is left behind.
bool WriteWholeFile(const std::string& path, std::initializer_list<std::span<const uint8_t>> parts);
bool WriteWholeFile(const std::string& path, const void* data, size_t size);

// Deletes the file; false when it did not exist or could not be removed.
bool DeleteFile(const std::string& path);

}  // namespace platform
