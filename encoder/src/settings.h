// The encoder's one process-wide settings record and the working values kept
// between output calls.
#pragma once

#include <cstdint>

namespace mosaire {

inline constexpr int kMessageStore = 8000;  // 7,999 bytes and the terminator

struct EncoderSettings {
    char message[kMessageStore];
    int32_t width;
    int32_t height;
    uint32_t backColor;   // 0x00BBGGRR
    uint32_t barColor;    // 0x00BBGGRR
    int16_t version;      // 0 = automatic, 1-40
    int16_t ecLevel;      // 0 = L, 1 = M, 2 = Q, 3 = H
    int16_t maskSetting;  // 0 = automatic, k = mask k - 1
    float moduleWidthCm;
    int16_t orientation;  // 0-3
    int16_t frameStyle;   // 0 none, 1 dashed, 2 solid
};

struct WorkingValues {
    int32_t modulePixels;
    int16_t symbolVersion;
    int16_t dataMode;
    int16_t maskUsed;
};

// The process-wide instances, zero at load.
EncoderSettings& Settings();
WorkingValues& Working();

}  // namespace mosaire
