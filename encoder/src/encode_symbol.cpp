#include "encode_symbol.h"

#include "mask_penalty.h"
#include "reed_solomon.h"
#include "symbol_matrix.h"

namespace mosaire {

namespace {

int InRange(int value, int high) { return value >= 0 && value <= high ? value : 0; }

}  // namespace

EncodedSymbol EncodeSymbol(const uint8_t* message, size_t length, int version, int level, int maskSetting) {
    EncodedSymbol out;
    out.mode = AnalyseMode(message, length);
    out.version = ChooseVersion(out.mode, length, version, level);
    if (out.version == kNoVersion) return out;

    uint8_t data[kMaxDataCodewords];
    uint8_t sequence[kMaxTotalCodewords];
    BuildDataCodewords(message, length, out.mode, out.version, level, data);
    const int count = InterleaveCodewords(data, out.version, level, sequence);

    std::unique_ptr<ModuleMatrix> matrix(new ModuleMatrix);  // layers are written before use
    BuildFunctionPatterns(*matrix, out.version);
    PlaceCodewords(*matrix, sequence, count);

    out.mask = maskSetting != 0 ? maskSetting - 1 : ChooseMask(*matrix, level);
    ApplyMask(*matrix, out.mask);
    WriteFormatInfo(*matrix, level, out.mask);
    out.matrix = std::move(matrix);
    return out;
}

EncodedSymbol EncodeSymbol(const EncoderSettings& settings) {
    const auto* message = reinterpret_cast<const uint8_t*>(settings.message);
    size_t length = 0;
    while (length < static_cast<size_t>(kMessageStore) && message[length] != 0) ++length;
    return EncodeSymbol(message, length, InRange(settings.version, 40), InRange(settings.ecLevel, 3),
                        InRange(settings.maskSetting, 8));
}

}  // namespace mosaire
