// Placeholder until the reading stage exists.
#include "symbol_search.h"

namespace lectavo {

int ReadCandidates(SymbolSearch& search, int, int) { return static_cast<int>(search.results.size()); }

}  // namespace lectavo
