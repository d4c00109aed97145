// Placeholder until codeword extraction and correction exist.
#include "symbol_search.h"

namespace lectavo {

void UnmaskGrid(SymbolSearch&, int, int) {}
bool ExtractCodewords(SymbolSearch&, int, int, int) { return false; }
bool CheckBlock(SymbolSearch&, int, int, const uint8_t*) { return false; }
bool CorrectBlock(SymbolSearch&, int, int, uint8_t*, int) { return false; }

}  // namespace lectavo
