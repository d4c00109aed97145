// Completion of a symbol of which only two finder patterns were found: the
// third pattern is synthesised in each of the places it could occupy.
#pragma once

#include <vector>

#include "core/binary_plane.h"
#include "core/located_symbol.h"

namespace lectavo {

// With exactly two patterns in `finders`, appends six virtual patterns and
// returns true; returns false (gives up) when the two patterns do not trace
// cleanly or differ in size by more than a factor 1.4.
bool CompleteTwoFinders(const BinaryPlane& plane, std::vector<FinderPattern>& finders);

}  // namespace lectavo
