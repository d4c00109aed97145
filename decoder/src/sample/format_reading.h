// Format and version information read from single pixels at module centres
// computed from the finder centres and corners.
#pragma once

#include <vector>

#include "core/binary_plane.h"
#include "core/located_symbol.h"

namespace lectavo {

// Sets the symbol's level and mask from one of its format copies (beside the
// top-left finder, the split copy, then the top-left copy with module
// vectors measured across the whole symbol); false when none corrects or a
// sample point falls outside the plane.
bool ReadFormatInfo(const BinaryPlane& plane, const std::vector<FinderPattern>& finders, LocatedSymbol& symbol);

// Sets the symbol's version from the block beside the top-right finder, else
// the one beside the bottom-left finder.
bool ReadVersionInfo(const BinaryPlane& plane, const std::vector<FinderPattern>& finders, LocatedSymbol& symbol);

}  // namespace lectavo
