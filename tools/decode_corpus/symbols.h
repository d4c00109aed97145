// Module grids for the corpus: from our encoder's exports, and from an
// independent encoder (libqrencode) for the same symbols the end-to-end
// tests use.
#pragma once

#include <string>

#include "pictures.h"

namespace corpus {

// Our encoder: `version` 0 = smallest that fits, `maskSetting` 0 = chosen by
// penalty, 1-8 = mask 0-7. side 0 when the message does not fit.
Grid OurGrid(const std::string& text, int version, int level, int maskSetting);

// libqrencode, byte mode, smallest version >= `version` (side 0 without the
// library or when the text does not fit). `kanji` encodes Shift JIS text in
// Kanji mode where it can.
Grid IndependentGrid(const std::string& text, int version, int level, bool kanji = false);

// A byte-mode message that fills `version` at `level` exactly.
std::string FillingText(int version, int level);

}  // namespace corpus
