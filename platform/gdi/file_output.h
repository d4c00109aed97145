// Writing whole output files.
#pragma once

#include <cstdint>
#include <initializer_list>
#include <span>

namespace platform {

// Removes the file if it exists; a missing file is not an error.
void DeleteFileIfPresent(const char* path);

// Creates (or replaces) the file and writes the parts one after another.
// False when the file cannot be created (e.g. its folder does not exist) or a
// write fails; a partly written file is removed.
bool WriteNewFile(const char* path, std::initializer_list<std::span<const uint8_t>> parts);

}  // namespace platform
