// Grouping finder patterns into symbol candidates: ordered triples checked
// for angle, size and version agreement, with the outer corners of all
// three patterns and the format information read.
#pragma once

#include <vector>

#include "core/binary_plane.h"
#include "core/located_symbol.h"

namespace lectavo {

// Version estimate from the distance between two finder centres and the
// module size; -1 unless it lies in 0..44.
int EstimateVersion(float centreDistance, float moduleSize);

// Arms from the corner finder to the other two: true when the longer is at
// most twice the shorter.
bool ArmsSimilar(float ab, float ac);

// Version of a triple from its two arm estimates (an estimate is ignored
// when its far pattern is virtual). Returns false to reject the triple;
// otherwise `version` holds the estimate or 0 when the version information
// must decide.
bool DecideVersion(int vab, int vac, bool bVirtual, bool cVirtual, int& version);

// Appends every accepted triple of `finders` (ordered: corner finder, second,
// third), with its corners, version, level and mask, to `candidates` and
// returns their number. `triplesLeft` is the decode call's bound on triples
// past the angle test; it is lowered by those examined, and the search ends
// early, keeping what it found, when it runs out.
int TripleSearch(const BinaryPlane& plane, const std::vector<FinderPattern>& finders,
                 std::vector<LocatedSymbol>& candidates, int& triplesLeft);

}  // namespace lectavo
