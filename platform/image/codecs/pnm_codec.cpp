// PBM, PGM and PPM files, plain (P1-P3) and raw (P4-P6): bitmaps are 1-bit
// indexed (1 = black); samples are spread over 0-255 by their maximum.
// Every pixel costs at least one byte of a plain file and a bit of a raw
// bitmap, so the announced size is bounded by the file's length.
#include <algorithm>

#include "image/codecs/codecs.h"

namespace platform::codecs {

namespace {

struct Text {
    Bytes file;
    size_t at = 2;
    bool Space(uint8_t c) const { return c == ' ' || c == '\t' || c == '\r' || c == '\n' || c == '\v' || c == '\f'; }
    void SkipSpaceAndComments() {
        while (at < file.size) {
            if (file.data[at] == '#') {
                while (at < file.size && file.data[at] != '\n') ++at;
            } else if (Space(file.data[at])) {
                ++at;
            } else {
                return;
            }
        }
    }
    // A decimal number; bitmaps' plain digits are one character each.
    bool Number(int64_t& value, bool oneDigit = false) {
        SkipSpaceAndComments();
        if (at >= file.size || file.data[at] < '0' || file.data[at] > '9') return false;
        value = 0;
        do {
            value = value * 10 + (file.data[at++] - '0');
            if (value > 0xFFFFFF) return false;
        } while (!oneDigit && at < file.size && file.data[at] >= '0' && file.data[at] <= '9');
        return true;
    }
};

}  // namespace

ImageStatus DecodePnm(Bytes file, const Limits& limits, Picture& out) {
    const int kind = file.data[1] - '0';
    const bool bitmap = kind == 1 || kind == 4, plain = kind <= 3;
    const int channels = kind == 3 || kind == 6 ? 3 : 1;
    Text text{file};
    int64_t width = 0, height = 0, maximum = 1;
    if (!text.Number(width) || !text.Number(height) || (!bitmap && !text.Number(maximum)))
        return ImageStatus::kUnreadable;
    if (maximum < 1 || maximum > 65535) return ImageStatus::kUnreadable;
    const int64_t sampleBytes = maximum > 255 ? 2 : 1;
    const int64_t rawBytes = bitmap ? (width + 7) / 8 * height : width * height * channels * sampleBytes;
    const ImageStatus announced = CheckAnnounced(width, height, limits, [&] {
        return (plain ? width * height * channels : rawBytes) <= static_cast<int64_t>(file.size);
    });
    if (announced != ImageStatus::kOk) return announced;
    if (!plain) ++text.at;  // the single space after the header
    if (Allocate(out, static_cast<int>(width), static_cast<int>(height)) != ImageStatus::kOk) {
        out = Picture{};
        return ImageStatus::kOutOfMemory;
    }
    out.mono = bitmap;
    auto sample = [&](int64_t& v) {
        if (plain) return text.Number(v, bitmap);
        if (text.at + static_cast<size_t>(sampleBytes) > file.size) return false;
        v = sampleBytes == 2 ? file.data[text.at] << 8 | file.data[text.at + 1] : file.data[text.at];
        text.at += static_cast<size_t>(sampleBytes);
        return true;
    };
    for (int64_t y = 0; y < height; ++y) {
        uint32_t* line = out.pixels.data() + static_cast<size_t>(y * width);
        for (int64_t x = 0; x < width; ++x) {
            uint32_t rgb[3] = {0, 0, 0};
            if (bitmap && !plain) {
                const size_t at = text.at + static_cast<size_t>(y * ((width + 7) / 8) + x / 8);
                if (at >= file.size) {
                    out = Picture{};
                    return ImageStatus::kUnreadable;
                }
                rgb[0] = rgb[1] = rgb[2] = (file.data[at] >> (7 - x % 8)) & 1 ? 0 : 255;
            } else {
                for (int c = 0; c < channels; ++c) {
                    int64_t v = 0;
                    if (!sample(v)) {
                        out = Picture{};
                        return ImageStatus::kUnreadable;
                    }
                    v = std::min(v, maximum);
                    rgb[c] = bitmap ? (v ? 0 : 255) : static_cast<uint32_t>(v * 255 / maximum);
                }
                if (channels == 1) rgb[1] = rgb[2] = rgb[0];
            }
            line[x] = 0xFF000000u | rgb[0] << 16 | rgb[1] << 8 | rgb[2];
        }
    }
    return ImageStatus::kOk;
}

}  // namespace platform::codecs
