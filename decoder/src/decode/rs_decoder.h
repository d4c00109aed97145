// Reed-Solomon checking and error correction of one block (errors only, no
// erasures).
#pragma once

#include <cstdint>

namespace lectavo {

inline constexpr int kMaxCorrectable = 15;   // largest t in the block table
inline constexpr int kMaxBlockLength = 255;  // longest RS block over GF(256)

// True when the n-codeword block (k data codewords first) is a codeword of
// the code with n - k check codewords.
bool CheckBlock(int n, int k, const uint8_t* block);

// Corrects up to t errors in place; true when the block is then a codeword.
// A block that cannot be corrected is left as it was. Because t never exceeds
// half the check codewords, at most one codeword lies within t errors of any
// block: the corrected block is that codeword, whichever method finds it.
bool CorrectBlock(int n, int k, uint8_t* block, int t);

// Syndrome S_j = sum of r_i * alpha^(j (n-1-i)) for j = 0 .. count-1, where
// r_0 is the first byte (the coefficient of x^(n-1)); count is at most 68,
// the most check words a block may have.
void ComputeSyndromes(int n, const uint8_t* block, int count, uint8_t* syndromes);

}  // namespace lectavo
