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

// SearchPass for a sequence of planes, numbered in state.passTriples from 0.
// `repeatable` when the pass read nothing and would read nothing again on
// the same plane, its only change to the state being the triples it
// examined; while every pass since was repeatable too (the results being
// those it saw), that holds with the bound on triples lower or higher.
bool RecordedSearchPass(const BinaryPlane& plane, SearchState& state, int symbolCount, bool& repeatable);

// The effect of recorded pass `pass` (repeatable) made again on the same
// plane: the triples it examined, to the bound, and nothing read. It is not
// recorded: the numbers count the passes made.
void RepeatSearchPass(int pass, SearchState& state);

}  // namespace lectavo
