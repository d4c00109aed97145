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
// so the work per plane is bounded by counts. Every candidate a plane keeps
// takes part: a sheet of 60 small symbols shows 180 finders, and the
// neighbouring symbols' finders make many near-perfect false triples.
inline constexpr int kMaxGroupedCandidates = 256;
inline constexpr int kMaxTriples = 2000;

// Triples with compatible module sizes, a near-right angle at the corner
// finder and legs of similar length (perspective allowed). The corner is the
// finder opposite the longest side; top-right and bottom-left are ordered so
// that an unmirrored symbol reads the right way (clockwise in picture
// coordinates, y down).
std::vector<FinderTriple> GroupFinders(const std::vector<FinderCandidate>& candidates);
// Whether GroupFinders would find any triple, stopping at the first.
bool AnyTriple(const std::vector<FinderCandidate>& candidates);

}  // namespace lectavo::photo
