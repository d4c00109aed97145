// Fuzz input handed to a file reader: written to one temporary file per
// process, with the extension that selects the reader, in memory (/dev/shm)
// where the system has it.
#pragma once

#include <cstdint>
#include <cstdio>
#include <string>
#include <unistd.h>

namespace fuzzing {

inline std::string WriteInput(const uint8_t* data, size_t size, const char* extension) {
    static const std::string path = std::string(::access("/dev/shm", W_OK) == 0 ? "/dev/shm" : "/tmp") +
                                    "/lectavo_fuzz_" + std::to_string(static_cast<long>(::getpid())) + extension;
    if (std::FILE* f = std::fopen(path.c_str(), "wb")) {
        if (size) std::fwrite(data, 1, size, f);
        std::fclose(f);
    }
    return path;
}

inline void RemoveInput(const std::string& path) { std::remove(path.c_str()); }

}  // namespace fuzzing
