// Reed-Solomon error-correction codewords per block and the interleaving of
// data and error-correction codewords into the final codeword sequence.
#pragma once

#include <cstdint>

namespace mosaire {

inline constexpr int kMaxTotalCodewords = 3706;
inline constexpr int kMaxEcPerBlock = 30;

// The e error-correction codewords of one block of k data codewords, in
// transmission order, computed by the shift register over g_e(x).
void BlockErrorCorrection(const uint8_t* data, int k, int e, uint8_t* ec);

// Splits the data codewords of a version and level into its blocks, protects
// each block and writes the interleaved sequence (the version's total codeword
// count, returned) into out, which must hold kMaxTotalCodewords cells.
int InterleaveCodewords(const uint8_t* data, int version, int level, uint8_t* out);

}  // namespace mosaire
