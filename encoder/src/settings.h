// The encoder's one process-wide settings record, behind the exported C
// functions, and the setter operations on it. Setters only store (after
// clamping); they never encode.
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

// The process-wide instance, zero at load.
EncoderSettings& Settings();

// Setters on the process-wide record. Out-of-range values are replaced
// silently; integer arguments are judged on their low 16 bits read unsigned
// where the exported interface says so.

// Copies text into the message store; null stores an empty message, text
// longer than 7,999 bytes is cut at the store's end.
void SetMessage(const char* text);
// 0 stands for the defaults 500 (width) and 300 (height); anything else is kept.
void SetSize(int32_t width, int32_t height);
// version 0-40 (else 0), ecLevel 0-3 (else 0), mask 0-8 (else 0).
void Configure(int32_t version, int32_t ecLevel, int32_t mask);
// moduleWidthCm > 0 is kept (as float), else 0.07; orientation 0-3, frameStyle 0-2.
void Appearance(double moduleWidthCm, int32_t orientation, int32_t frameStyle);
// Components above 255 become 0; colour = red + 256 green + 65536 blue.
void SetBackColor(int32_t red, int32_t green, int32_t blue);
void SetBarColor(int32_t red, int32_t green, int32_t blue);
// Every field to its default ("12", 500 x 300, white on black bars, automatic
// version and mask, level L, 0.07 cm, orientation 0, no frame).
void SetDefault();

// The same operations on a given record, for callers that keep their own.
void SetMessage(EncoderSettings& s, const char* text);
void SetSize(EncoderSettings& s, int32_t width, int32_t height);
void Configure(EncoderSettings& s, int32_t version, int32_t ecLevel, int32_t mask);
void Appearance(EncoderSettings& s, double moduleWidthCm, int32_t orientation, int32_t frameStyle);
void SetBackColor(EncoderSettings& s, int32_t red, int32_t green, int32_t blue);
void SetBarColor(EncoderSettings& s, int32_t red, int32_t green, int32_t blue);
void SetDefault(EncoderSettings& s);

}  // namespace mosaire
