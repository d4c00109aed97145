// Reed-Solomon checking and error correction of one block (errors only, no
// erasures).
#pragma once

#include <cstdint>

namespace lectavo {

inline constexpr int kMaxCorrectable = 15;   // largest t in the block table
inline constexpr int kMaxBlockLength = 255;  // longest RS block over GF(256)

// A square linear system over GF(256): row r holds m coefficients followed by
// its constant, so row width is kMaxCorrectable + 1.
using LinearRows = uint8_t[kMaxCorrectable][kMaxCorrectable + 1];

// True when the n-codeword block (k data codewords first) is a codeword of
// the code with n - k check codewords.
bool CheckBlock(int n, int k, const uint8_t* block);

// Corrects up to t errors in place; true when the block is then a codeword.
// A block that cannot be corrected is left as it was.
bool CorrectBlock(int n, int k, uint8_t* block, int t);

// Syndrome S_j = sum of r_i * alpha^(j (n-1-i)) for j = 0 .. count-1.
void ComputeSyndromes(int n, const uint8_t* block, int count, uint8_t* syndromes);

// Solves the m x m system (1 <= m <= 15) by cross-multiplication elimination,
// finding the variables from the last to the first without row exchanges.
// Returns false when a final quotient has a zero divisor (singular, or
// singular in this row order). The system itself is left unchanged.
bool SolveSystem(const LinearRows& system, int m, uint8_t* solution);

// Solves the same m x m system by Gauss-Jordan elimination, choosing a row
// with a non-zero pivot for each variable. Returns false only when the
// system is singular. The system itself is left unchanged.
bool SolvePivoting(const LinearRows& system, int m, uint8_t* solution);

}  // namespace lectavo
