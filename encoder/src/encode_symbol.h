// EncodeSymbol: message and settings in, finished module matrix out.
#pragma once

#include <cstdint>
#include <memory>

#include "module_matrix.h"
#include "settings.h"

namespace mosaire {

// Encodes settings.message with settings.version/ecLevel/maskSetting.
// On success returns the finished matrix and updates working.symbolVersion,
// working.dataMode and working.maskUsed. Returns null when the message does
// not fit version 40 at the chosen level (working.symbolVersion is then 41).
std::unique_ptr<ModuleMatrix> EncodeSymbol(const EncoderSettings& settings, WorkingValues& working);

}  // namespace mosaire
