// Writing seed files into the corpus folder given on the command line.
#pragma once

#include <cstdint>
#include <cstdio>
#include <string>
#include <vector>

namespace fuzzing {

inline std::string SeedPath(const char* folder, const std::string& name) { return std::string(folder) + "/" + name; }

inline bool WriteSeed(const char* folder, const std::string& name, const std::vector<uint8_t>& bytes) {
    std::FILE* f = std::fopen(SeedPath(folder, name).c_str(), "wb");
    if (!f) return false;
    std::fwrite(bytes.data(), 1, bytes.size(), f);
    return std::fclose(f) == 0;
}

}  // namespace fuzzing
