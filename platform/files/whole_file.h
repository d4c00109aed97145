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
// A symbolic link is followed and its final target written. A regular file
// (or no file) is replaced atomically: the bytes go to a temporary file in
// the target's folder, which takes the old file's permission bits (a new
// file gets 0666 less the umask) and is then renamed over the target, so a
// process that has the old file open or mapped keeps seeing the old
// contents, and a failure (an unwritable folder, a full disk) leaves the old
// file as it was. Anything else at the path (a device, a pipe) is opened and
// written in place, never replaced.
//
// False on failure; no temporary file is left behind.
bool WriteWholeFile(const std::string& path, std::initializer_list<std::span<const uint8_t>> parts);
bool WriteWholeFile(const std::string& path, const void* data, size_t size);

// Deletes the file; false when it did not exist or could not be removed.
bool DeleteFile(const std::string& path);

}  // namespace platform
