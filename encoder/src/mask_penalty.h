// The mask penalty score of a masked symbol: N1 (runs), N2 (blocks with a
// function-module corner), N3 (finder-like patterns), N4 (dark balance).
// Works on a bit-packed copy of the matrix so rows and columns are scored with
// word operations.
#pragma once

#include <cstdint>

#include "module_matrix.h"

namespace mosaire {

inline constexpr int kLineWords = 3;  // 177 modules fit in 192 bits

// Bit j of rows[i] is the module at row i, column j; bit i of cols[j] is the
// same module. Bits at and beyond side are zero.
struct PackedSymbol {
    int side = 0;
    uint64_t rows[kMaxSide][kLineWords];
    uint64_t cols[kMaxSide][kLineWords];
    uint64_t function[kMaxSide][kLineWords];  // rows of the function-module layer
};

struct PenaltyParts {
    int n1 = 0;
    int n2 = 0;
    int n3 = 0;
    int n4 = 0;
    int total() const { return n1 + n2 + n3 + n4; }
};

// Packs values and the function-module layer of a matrix.
void PackSymbol(const ModuleMatrix& m, PackedSymbol& packed);

PenaltyParts ScorePenalty(const PackedSymbol& packed);

// Score of an unpacked matrix (packs it first).
int MaskPenalty(const ModuleMatrix& m);

}  // namespace mosaire

namespace mosaire {

// The mask reference (0-7) with the lowest score for the matrix holding the
// function patterns and the placed, unmasked codewords of a symbol at the
// level; ties go to the lower reference. Each candidate is scored with its own
// format information in place.
int ChooseMask(const ModuleMatrix& unmasked, int level);

}  // namespace mosaire
