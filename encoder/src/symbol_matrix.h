// Construction of the module matrix: function patterns, format and version
// information, codeword placement and the eight data masks.
#pragma once

#include <cstdint>

#include "module_matrix.h"

namespace mosaire {

// Clears the matrix to the side of the version and lays out everything that
// does not depend on the data or the mask: finder patterns and separators,
// timing and alignment patterns, the reserved format areas with the dark
// module, and the version information (versions 7-40). The format modules are
// left light; WriteFormatInfo fills them.
void BuildFunctionPatterns(ModuleMatrix& m, int version);

// The 15-bit format word of a level (0 = L .. 3 = H) and mask reference,
// BCH-protected and XORed with 0x5412.
uint16_t FormatWord(int level, int mask);

// Writes both copies of the format word of the level and mask.
void WriteFormatInfo(ModuleMatrix& m, int level, int mask);

// Places the codewords, most significant bit first, into the encoding region
// along the two-column zigzag from the bottom-right corner. Modules left over
// (remainder bits) stay light.
void PlaceCodewords(ModuleMatrix& m, const uint8_t* codewords, int count);

// True where mask reference `mask` (0-7) inverts the module at row i, column j.
bool MaskCondition(int mask, int i, int j);

// Inverts the encoding-region modules selected by the mask.
void ApplyMask(ModuleMatrix& m, int mask);

}  // namespace mosaire
