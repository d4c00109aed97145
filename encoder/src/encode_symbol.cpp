// Placeholder until the encoding pipeline exists.
#include "encode_symbol.h"

namespace mosaire {

std::unique_ptr<ModuleMatrix> EncodeSymbol(const EncoderSettings&, WorkingValues& working) {
    working.symbolVersion = 41;
    return nullptr;
}

}  // namespace mosaire
