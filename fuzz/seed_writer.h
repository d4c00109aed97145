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

// An input of the array targets: width - 1 and height - 1 as two
// little-endian 16-bit values, then `settings` (bytes a target reads before
// the pixels), then the pixels.
inline std::vector<uint8_t> GreyArrayInput(int width, int height, const std::vector<uint8_t>& pixels,
                                           const std::vector<uint8_t>& settings = {}) {
    std::vector<uint8_t> in = {uint8_t((width - 1) & 0xFF), uint8_t((width - 1) >> 8), uint8_t((height - 1) & 0xFF),
                               uint8_t((height - 1) >> 8)};
    in.insert(in.end(), settings.begin(), settings.end());
    in.insert(in.end(), pixels.begin(), pixels.end());
    return in;
}

}  // namespace fuzzing
