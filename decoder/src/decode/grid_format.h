// Format and version information read from a sampled grid (both copies of
// each) and matched to the nearest valid codeword within three bit errors.
#pragma once

#include "core/sampled_grid.h"

namespace lectavo {

struct FormatReading {
    int level = 0;      // 0 = L, 1 = M, 2 = Q, 3 = H
    int mask = 0;       // 0-7
    int distance = 99;  // bit errors corrected (the better copy); above 3 means unreadable
};

// Both copies of the format information of `grid` (side must be set).
FormatReading ReadFormat(const SampledGrid& grid);

// Version 7-40 from the better of the two version information blocks, or 0
// when neither lies within three bit errors of a valid codeword.
int ReadVersion(const SampledGrid& grid);

// The grid mirrored about its main diagonal (what a mirrored symbol gives).
void Transpose(SampledGrid& grid);

}  // namespace lectavo
