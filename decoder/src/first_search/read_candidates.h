// The candidate loop of one search pass: read each located symbol, turn a
// read symbol into a result, drop duplicates and sort the list into reading
// order.
#pragma once

#include "core/binary_plane.h"
#include "first_search/search_state.h"
#include "sample/symbol_reading.h"

namespace lectavo {

// Reads every candidate of state.candidates whose finders are still unused,
// appends results (corners multiplied by `scale`) to state.results and sorts
// them; stops once `symbolLimit` (> 0) results are held. `reading` is the
// working space of each symbol read and keeps the last one's tracks.
// Returns the number of results now in the list. Throws std::bad_alloc when
// memory runs short.
int ReadCandidates(const BinaryPlane& plane, SearchState& state, SymbolReading& reading, int symbolLimit, int scale);

}  // namespace lectavo
