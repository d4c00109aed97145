// One search pass over a binary plane: finder scan, completion of two-finder
// symbols, triple search and reading, first at full resolution and then, if
// not enough symbols were read, on a half-resolution copy of the plane.
// Any binariser can hand its planes to it.
#pragma once

#include "core/binary_plane.h"
#include "first_search/search_state.h"

namespace lectavo {

// Searches `plane` and appends what it reads to state.results (finders and
// candidates are working lists, empty on return). `symbolCount` 0 means any
// number. True when reading returned a positive count in this pass. Throws
// std::bad_alloc when memory runs short.
bool SearchPass(const BinaryPlane& plane, SearchState& state, int symbolCount);

}  // namespace lectavo
