// Placeholder until format and version reading exist.
#include "symbol_search.h"

namespace lectavo {

bool ReadFormatInfo(const SymbolSearch&, SymbolCandidate&) { return false; }
bool ReadVersionInfo(const SymbolSearch&, SymbolCandidate&) { return false; }
bool CorrectFormatWord(uint32_t&) { return false; }
bool CorrectVersionWord(uint32_t&) { return false; }

}  // namespace lectavo
