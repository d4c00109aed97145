#include "encode_symbol.h"

#include "bit_stream.h"
#include "mask_penalty.h"
#include "reed_solomon.h"
#include "symbol_matrix.h"

namespace mosaire {

namespace {

// A field outside its range (only possible when the record was written
// directly rather than through the setters) is read as its automatic value.
int InRange(int value, int high) { return value >= 0 && value <= high ? value : 0; }

}  // namespace

std::unique_ptr<ModuleMatrix> EncodeSymbol(const EncoderSettings& settings, WorkingValues& working) {
    const auto* message = reinterpret_cast<const uint8_t*>(settings.message);
    size_t length = 0;
    while (length < static_cast<size_t>(kMessageStore) && message[length] != 0) ++length;
    const int level = InRange(settings.ecLevel, 3);
    const int maskSetting = InRange(settings.maskSetting, 8);

    const DataMode mode = AnalyseMode(message, length);
    const int version = ChooseVersion(mode, length, InRange(settings.version, 40), level);
    working.dataMode = static_cast<int16_t>(mode);
    working.symbolVersion = static_cast<int16_t>(version);
    if (version == kNoVersion) return nullptr;

    uint8_t data[kMaxDataCodewords];
    uint8_t sequence[kMaxTotalCodewords];
    BuildDataCodewords(message, length, mode, version, level, data);
    const int count = InterleaveCodewords(data, version, level, sequence);

    std::unique_ptr<ModuleMatrix> matrix(new ModuleMatrix);  // layers are written before use
    BuildFunctionPatterns(*matrix, version);
    PlaceCodewords(*matrix, sequence, count);

    const int mask = maskSetting != 0 ? maskSetting - 1 : ChooseMask(*matrix, level);
    ApplyMask(*matrix, mask);
    WriteFormatInfo(*matrix, level, mask);
    working.maskUsed = static_cast<int16_t>(mask);
    return matrix;
}

}  // namespace mosaire
