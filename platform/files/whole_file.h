// Whole-file reading, atomic whole-file writing and deletion.
#pragma once

#include <cstddef>
#include <optional>
#include <string>
#include <vector>

namespace platform {

// The whole file, or nothing when it cannot be opened or read.
std::optional<std::vector<unsigned char>> ReadWholeFile(const std::string& path);

// Writes `size` bytes to `path`, replacing any existing file atomically: the
// bytes go to a temporary file in the same folder, which is then renamed
// over the target. A process that has the old file open or mapped keeps
// seeing the old contents. Returns false (and leaves the target untouched)
// on failure.
bool WriteWholeFile(const std::string& path, const void* data, size_t size);

// Deletes the file; false when it did not exist or could not be removed.
bool DeleteFile(const std::string& path);

}  // namespace platform
