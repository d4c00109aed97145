// Triples of finder candidates that can be the three finders of one symbol,
// best first.
#pragma once

#include <vector>

#include "photo/finder_detector.h"

namespace lectavo::photo {

struct FinderTriple {
    int topLeft = 0, topRight = 0, bottomLeft = 0;  // indexes into the candidate list
    float score = 0;                                // lower is better
};

// At most this many candidates take part and this many triples come back,
// so the work per plane is bounded by counts.
inline constexpr int kMaxGroupedCandidates = 120;
inline constexpr int kMaxTriples = 300;

// Triples with compatible module sizes, a near-right angle at the corner
// finder and legs of similar length (perspective allowed). The corner is the
// finder opposite the longest side; top-right and bottom-left are ordered so
// that an unmirrored symbol reads the right way (clockwise in picture
// coordinates, y down).
std::vector<FinderTriple> GroupFinders(const std::vector<FinderCandidate>& candidates);

}  // namespace lectavo::photo
