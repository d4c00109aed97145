// Placeholder until the alignment grid exists.
#include "symbol_search.h"

namespace lectavo {

void AnchorTimingAlignments(SymbolSearch&, const SymbolCandidate&) {}
void BuildAlignmentGrid(SymbolSearch&, const SymbolCandidate&) {}

}  // namespace lectavo
