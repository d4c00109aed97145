// Placeholder until segment decoding exists.
#include "symbol_search.h"

namespace lectavo {

bool DecodeSegments(SymbolSearch&, DecodeResult&, int, const uint8_t*, bool) { return false; }
uint32_t ReadBits(int, int, const uint8_t*) { return 0; }

}  // namespace lectavo
