// EncodeSymbol: message bytes and choices in, finished module matrix out.
#pragma once

#include <cstddef>
#include <cstdint>
#include <memory>

#include "bit_stream.h"
#include "module_matrix.h"
#include "settings.h"

namespace mosaire {

// What one encoding produced. A message that fits no version up to 40 at the
// level is the one failure: matrix is then null, version is kNoVersion and
// mask is -1; mode is always the mode the message was analysed to.
struct EncodedSymbol {
    std::unique_ptr<ModuleMatrix> matrix;
    int version = kNoVersion;
    DataMode mode = kModeByte;
    int mask = -1;  // 0-7

    bool DoesNotFit() const { return matrix == nullptr; }
};

// Encodes `length` bytes in the one mode AnalyseMode picks. version: 0 for
// the smallest that fits, else the smallest from that one on; level 0-3
// (L, M, Q, H); maskSetting: 0 for the mask with the lowest penalty, k for
// mask k - 1. Arguments must be in range.
EncodedSymbol EncodeSymbol(const uint8_t* message, size_t length, int version, int level, int maskSetting);

// The same for a settings record: the message up to its terminator, with
// version, level and mask setting read as automatic (0) when out of range
// (only possible when the record was written directly).
EncodedSymbol EncodeSymbol(const EncoderSettings& settings);

}  // namespace mosaire
