// Finder pattern candidates on a binary plane: rows with dark-light-dark-
// light-dark runs in the ratio 1:1:3:1:1, confirmed across the column and a
// diagonal, merged where they mark the same pattern.
#pragma once

#include <vector>

#include "photo/grey_view.h"

namespace lectavo::photo {

struct FinderCandidate {
    Point centre;
    float moduleSize = 0;  // mean of the horizontal and vertical estimates
    int hits = 0;          // scan rows that confirmed it
};

// At most this many candidates are kept per plane, so crafted pictures full
// of finder-like marks cost a bounded amount of work.
inline constexpr int kMaxFinderCandidates = 256;

// Candidates confirmed on at least two rows, most
// confirmations first. `lightRuns`, when given, counts row windows in the
// same ratio that start with a light run: the finders of a light-on-dark
// symbol, which tell whether the inverted plane is worth a search.
std::vector<FinderCandidate> DetectFinders(const BinaryPlane& plane, int* lightRuns = nullptr);

}  // namespace lectavo::photo
