// FNV-1a 64-bit hash of a byte range, printed as 16 hexadecimal digits: small,
// stable across builds and platforms, enough to tell two outputs apart.
#pragma once

#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <string>

namespace corpus {

inline uint64_t Fnv1a64(const unsigned char* data, size_t length) {
    uint64_t hash = 0xCBF29CE484222325ull;
    for (size_t i = 0; i < length; ++i) {
        hash ^= data[i];
        hash *= 0x100000001B3ull;
    }
    return hash;
}

inline std::string Hex64(uint64_t value) {
    char text[17];
    std::snprintf(text, sizeof text, "%016llx", static_cast<unsigned long long>(value));
    return text;
}

// Deterministic pseudo-random numbers (a 64-bit linear congruential
// generator), so every run makes exactly the same pictures and messages.
class Lcg {
public:
    explicit Lcg(uint64_t seed) : state_(seed * 0x9E3779B97F4A7C15ull + 1) {}
    uint32_t Next() {
        state_ = state_ * 6364136223846793005ull + 1442695040888963407ull;
        return static_cast<uint32_t>(state_ >> 33);
    }
    // Uniform in [0, n).
    int Below(int n) { return n > 0 ? static_cast<int>(Next() % static_cast<uint32_t>(n)) : 0; }

private:
    uint64_t state_;
};

}  // namespace corpus
