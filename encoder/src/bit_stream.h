// Data analysis and the data codeword stream: the one mode of the whole
// message, the version choice, and the data codewords with terminator and pads.
#pragma once

#include <cstddef>
#include <cstdint>

namespace mosaire {

// Mode indicators, equal to the 4-bit field written at the start of the stream.
enum DataMode : int { kModeNumeric = 1, kModeAlphanumeric = 2, kModeByte = 4 };

inline constexpr int kNoVersion = 41;  // the message fits no version
inline constexpr int kMaxDataCodewords = 2956;

// Value 0-44 of a byte in the 45-character alphanumeric set, or -1.
int AlphanumericValue(uint8_t byte);

// Numeric when every byte is a digit (also when empty), alphanumeric when every
// byte is in the 45-character set, byte otherwise.
DataMode AnalyseMode(const uint8_t* message, size_t length);

// Width of the character-count field for a mode and version.
int CountFieldBits(DataMode mode, int version);

// Bits of mode indicator, count field and data, without the terminator.
int64_t NeededBits(DataMode mode, size_t length, int version);

// Smallest version >= requested (0 meaning 1) whose data capacity at the level
// holds the message, or kNoVersion.
int ChooseVersion(DataMode mode, size_t length, int requested, int level);

struct DataCodewords {
    int count = 0;       // data capacity of the version and level
    int streamBits = 0;  // mode, count and data bits before the terminator
};

// Writes the data codewords of the message into out (at least
// kMaxDataCodewords cells). The message must fit the version and level.
DataCodewords BuildDataCodewords(const uint8_t* message, size_t length, DataMode mode, int version, int level,
                                 uint8_t* out);

}  // namespace mosaire
