#include "settings.h"

#include <cfloat>
#include <cstring>

namespace mosaire {

namespace {
EncoderSettings gSettings{};  // zero at load, as callers expect

// The low 16 bits of an argument read unsigned, kept when at most `limit`.
int16_t Clamp16(int32_t value, unsigned limit) {
    const unsigned low = static_cast<uint16_t>(value);
    return low <= limit ? static_cast<int16_t>(low) : int16_t{0};
}

uint32_t Colour(int32_t red, int32_t green, int32_t blue) {
    const auto part = [](int32_t c) -> uint32_t { return static_cast<uint32_t>(Clamp16(c, 255)); };
    return part(red) + 256u * part(green) + 65536u * part(blue);
}
}  // namespace

EncoderSettings& Settings() { return gSettings; }

void SetMessage(EncoderSettings& s, const char* text) {
    size_t n = 0;
    if (text != nullptr) {
        // Never reads past the terminator nor past what the store can hold.
        while (n < static_cast<size_t>(kMessageStore - 1) && text[n] != '\0') ++n;
        std::memcpy(s.message, text, n);
    }
    s.message[n] = '\0';
}

void SetSize(EncoderSettings& s, int32_t width, int32_t height) {
    s.width = width == 0 ? 500 : width;
    s.height = height == 0 ? 300 : height;
}

void Configure(EncoderSettings& s, int32_t version, int32_t ecLevel, int32_t mask) {
    s.version = Clamp16(version, 40);
    s.ecLevel = Clamp16(ecLevel, 3);
    s.maskSetting = Clamp16(mask, 8);
}

void Appearance(EncoderSettings& s, double moduleWidthCm, int32_t orientation, int32_t frameStyle) {
    // NaN fails the test and takes the default; values beyond the float range
    // are held at its largest value instead of overflowing the narrowing.
    if (moduleWidthCm > 0.0)
        s.moduleWidthCm = moduleWidthCm > FLT_MAX ? FLT_MAX : static_cast<float>(moduleWidthCm);
    else
        s.moduleWidthCm = 0.07f;
    s.orientation = Clamp16(orientation, 3);
    s.frameStyle = Clamp16(frameStyle, 2);
}

void SetBackColor(EncoderSettings& s, int32_t red, int32_t green, int32_t blue) {
    s.backColor = Colour(red, green, blue);
}

void SetBarColor(EncoderSettings& s, int32_t red, int32_t green, int32_t blue) {
    s.barColor = Colour(red, green, blue);
}

void SetDefault(EncoderSettings& s) {
    SetMessage(s, "12");
    s.width = 500;
    s.height = 300;
    s.backColor = 0x00FFFFFF;
    s.barColor = 0;
    s.version = 0;
    s.ecLevel = 0;
    s.maskSetting = 0;
    s.moduleWidthCm = 0.07f;
    s.orientation = 0;
    s.frameStyle = 0;
}

void SetMessage(const char* text) { SetMessage(gSettings, text); }
void SetSize(int32_t width, int32_t height) { SetSize(gSettings, width, height); }
void Configure(int32_t version, int32_t ecLevel, int32_t mask) { Configure(gSettings, version, ecLevel, mask); }
void Appearance(double moduleWidthCm, int32_t orientation, int32_t frameStyle) {
    Appearance(gSettings, moduleWidthCm, orientation, frameStyle);
}
void SetBackColor(int32_t red, int32_t green, int32_t blue) { SetBackColor(gSettings, red, green, blue); }
void SetBarColor(int32_t red, int32_t green, int32_t blue) { SetBarColor(gSettings, red, green, blue); }
void SetDefault() { SetDefault(gSettings); }

}  // namespace mosaire
