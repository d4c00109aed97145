// Track anchoring on the alignment patterns of a version 7-40 symbol.
#pragma once

#include "core/binary_plane.h"
#include "sample/tracks.h"

namespace lectavo {

// Anchors the alignment patterns on row 6 and column 6 between the finders;
// runs right after the initial anchors are placed.
void AnchorTimingAlignments(const BinaryPlane& plane, ReadingArea& area);

// Anchors every other alignment pattern, walking outwards from the top-left,
// and extends the tracks to the far edges and the bottom-right corner.
void BuildAlignmentGrid(const BinaryPlane& plane, ReadingArea& area);

}  // namespace lectavo
