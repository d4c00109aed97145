// BMP files in every layout Qt's reader takes (the decoder's own BMP reader
// handles the common ones first): OS/2 and Windows headers, top-down rows,
// 1, 4, 8, 16, 24 and 32 bits, RLE4, RLE8 and bit-field masks, resolutions
// that differ between the axes. A file must hold every row its header
// announces (an RLE file at least a byte for every 128 pixels, as a pair of
// bytes paints at most 255).
#include <algorithm>
#include <cstring>

#include "image/codecs/codecs.h"

namespace platform::codecs {

namespace {

// An RLE pair of two bytes paints at most 255 pixels.
constexpr int64_t kRlePixelsPerByte = 128;

enum Compression { kRgb = 0, kRle8 = 1, kRle4 = 2, kBitFields = 3 };

uint32_t U16(const uint8_t* p) { return static_cast<uint32_t>(p[0] | (p[1] << 8)); }
uint32_t U32(const uint8_t* p) {
    return static_cast<uint32_t>(p[0]) | (static_cast<uint32_t>(p[1]) << 8) | (static_cast<uint32_t>(p[2]) << 16) |
           (static_cast<uint32_t>(p[3]) << 24);
}

// One colour channel under a bit mask, spread over 0-255.
struct Channel {
    uint32_t mask = 0;
    int shift = 0;
    uint32_t scale = 0;
    explicit Channel(uint32_t m) : mask(m) {
        if (m == 0) return;
        while (!((m >> shift) & 1)) ++shift;
        const uint32_t top = m >> shift;
        scale = top >= 255 ? 1 : 256 / (top + 1);
    }
    uint32_t Of(uint32_t v) const {
        if (mask == 0) return 0;
        const uint32_t c = (v & mask) >> shift;
        return std::min<uint32_t>(c * scale, 255);
    }
};

// The pixel data decoded into one index or value per pixel, rows top down.
struct Reader {
    Bytes file;
    size_t at = 0;
    bool Byte(uint8_t& b) {
        if (at >= file.size) return false;
        b = file.data[at++];
        return true;
    }
    size_t Read(uint8_t* to, size_t n) {
        const size_t got = at < file.size ? std::min(n, file.size - at) : 0;
        if (got) std::memcpy(to, file.data + at, got);
        at += got;
        return got;
    }
};

}  // namespace

ImageStatus DecodeBmp(Bytes file, const Limits& limits, Picture& out) {
    if (file.size < 14 + 12) return ImageStatus::kUnreadable;
    const uint8_t* b = file.data;
    const uint32_t headerSize = U32(b + 14);
    const int64_t dataOffset = U32(b + 10);
    int64_t width, height;
    int bits;
    uint32_t compression = kRgb, coloursUsed = 0;
    int32_t perMetreX = 0, perMetreY = 0;
    size_t paletteEntry = 4;
    if (headerSize == 12) {
        width = U16(b + 18);
        height = static_cast<int16_t>(U16(b + 20));
        if (U16(b + 22) != 1) return ImageStatus::kUnreadable;
        bits = static_cast<int>(U16(b + 24));
        paletteEntry = 3;
    } else {
        if (headerSize < 40 || 14 + int64_t{headerSize} > static_cast<int64_t>(file.size))
            return ImageStatus::kUnreadable;
        width = static_cast<int32_t>(U32(b + 18));
        height = static_cast<int32_t>(U32(b + 22));
        if (U16(b + 26) != 1) return ImageStatus::kUnreadable;
        bits = static_cast<int>(U16(b + 28));
        compression = U32(b + 30);
        perMetreX = static_cast<int32_t>(U32(b + 38));
        perMetreY = static_cast<int32_t>(U32(b + 42));
        coloursUsed = U32(b + 46);
    }
    const bool topDown = height < 0;
    if (topDown) height = -height;
    if (!(bits == 1 || bits == 4 || bits == 8 || bits == 16 || bits == 24 || bits == 32))
        return ImageStatus::kUnreadable;
    if (!(compression == kRgb || (bits == 4 && compression == kRle4) || (bits == 8 && compression == kRle8) ||
          ((bits == 16 || bits == 32) && compression == kBitFields)))
        return ImageStatus::kUnreadable;
    if (topDown && (compression == kRle4 || compression == kRle8)) return ImageStatus::kUnreadable;
    const int64_t stride = (width * bits + 31) / 32 * 4;
    const bool rle = compression == kRle4 || compression == kRle8;
    const bool separateMasks = compression == kBitFields && headerSize < 52;
    const int colours = bits > 8 ? 0 : coloursUsed ? static_cast<int>(std::min<uint32_t>(coloursUsed, 257)) : 1 << bits;
    if (colours > 256) return ImageStatus::kUnreadable;
    // The pixels follow the colour table, or start further on where the
    // file header says so (a negative offset is ignored, as Qt does).
    const int64_t tableEnd =
        14 + int64_t{headerSize} + (separateMasks ? 12 : 0) + int64_t{colours} * int64_t(paletteEntry);
    const int64_t fileSize = static_cast<int64_t>(file.size);
    const int64_t dataStart = dataOffset > tableEnd && static_cast<int32_t>(dataOffset) >= 0 ? dataOffset : tableEnd;
    const int64_t dataBytes = fileSize > dataStart ? fileSize - dataStart : 0;
    const ImageStatus announced = CheckAnnounced(width, height, limits, [&] {
        return rle ? width * height <= dataBytes * kRlePixelsPerByte : stride * height <= dataBytes;
    });
    if (announced != ImageStatus::kOk) return announced;

    Reader in{file, 14 + size_t{headerSize}};
    // Masks: in the larger headers, else after a 40-byte header.
    uint32_t masks[4] = {0, 0, 0, 0};
    if (bits == 16) masks[0] = 0x7C00, masks[1] = 0x03E0, masks[2] = 0x001F;
    if (bits == 32) masks[0] = 0xFF0000, masks[1] = 0xFF00, masks[2] = 0xFF;
    if (compression == kBitFields) {
        if (!separateMasks) {
            for (int i = 0; i < 3; ++i) masks[i] = U32(b + 54 + 4 * i);
        } else {
            uint8_t m[12];
            if (in.Read(m, 12) != 12) return ImageStatus::kUnreadable;
            for (int i = 0; i < 3; ++i) masks[i] = U32(m + 4 * i);
        }
    }
    if (headerSize >= 56 && (bits == 16 || bits == 32) && (compression == kBitFields || headerSize >= 108))
        masks[3] = U32(b + 66);

    uint32_t palette[256] = {};
    for (int i = 0; i < colours; ++i) {
        uint8_t e[4];
        if (in.Read(e, paletteEntry) != paletteEntry) return ImageStatus::kUnreadable;
        palette[i] = 0xFF000000u | uint32_t{e[2]} << 16 | uint32_t{e[1]} << 8 | e[0];
    }
    in.at = static_cast<size_t>(dataStart);

    out.mono = bits == 1;
    SetDotsPerMetre(out, perMetreX, perMetreY);
    const int w = static_cast<int>(width), h = static_cast<int>(height);
    if (Allocate(out, w, h) != ImageStatus::kOk) {
        out = Picture{};
        return ImageStatus::kOutOfMemory;
    }
    // Indexes first for up to 8 bits, then their colours; RLE runs stop at
    // the end of their row, and pixels no run reaches keep index 0.
    std::vector<uint8_t> indexes;
    std::vector<uint8_t> row;
    try {
        if (bits <= 8) indexes.assign(static_cast<size_t>(w) * static_cast<size_t>(h), 0);
        row.resize(static_cast<size_t>(stride));
    } catch (const std::bad_alloc&) {
        out = Picture{};
        return ImageStatus::kOutOfMemory;
    }
    auto indexRow = [&](int y) { return indexes.data() + static_cast<size_t>(y) * static_cast<size_t>(w); };
    std::fill(out.pixels.begin(), out.pixels.end(), bits <= 8 ? 0u : 0xFF000000u);

    if (rle) {
        int x = 0, y = 0;  // y counts file rows, bottom up
        uint8_t count, value;
        auto put = [&](int at, uint8_t index) {
            if (at < w && y < h) indexRow(h - 1 - y)[at] = index;
        };
        while (y < h && in.Byte(count)) {
            if (count == 0) {
                uint8_t code;
                if (!in.Byte(code) || code == 1) break;
                if (code == 0) {
                    x = 0;
                    ++y;
                } else if (code == 2) {
                    uint8_t dx = 0, dy = 0;
                    in.Byte(dx);
                    in.Byte(dy);
                    x += dx;
                    y += dy;
                } else {
                    // Absolute run of `code` pixels, padded to a 16-bit boundary.
                    const int bytes = compression == kRle8 ? code : (code + 1) / 2;
                    for (int i = 0; i < bytes; ++i) {
                        if (!in.Byte(value)) {
                            y = h;
                            break;
                        }
                        if (compression == kRle8) {
                            put(x++, value);
                        } else {
                            put(x++, value >> 4);
                            if (2 * i + 1 < code) put(x++, value & 0x0F);
                        }
                    }
                    if (bytes & 1) in.Byte(value);
                }
            } else {
                if (!in.Byte(value)) break;
                for (int i = 0; i < count; ++i)
                    put(x++, compression == kRle8 ? value : (i & 1) ? value & 0x0F : value >> 4);
            }
        }
    } else {
        for (int n = 0; n < h; ++n) {
            const int y = topDown ? n : h - 1 - n;
            const size_t got = in.Read(row.data(), row.size());
            if (got < row.size()) break;  // not reached: the file holds every row
            uint8_t* index = bits <= 8 ? indexRow(y) : nullptr;
            uint32_t* line = out.pixels.data() + static_cast<size_t>(y) * static_cast<size_t>(w);
            const Channel red(masks[0]), green(masks[1]), blue(masks[2]), alpha(masks[3]);
            for (int x = 0; x < w; ++x) {
                switch (bits) {
                    case 1:
                        index[x] = (row[static_cast<size_t>(x / 8)] >> (7 - x % 8)) & 1;
                        break;
                    case 4:
                        index[x] =
                            x % 2 ? row[static_cast<size_t>(x / 2)] & 0x0F : row[static_cast<size_t>(x / 2)] >> 4;
                        break;
                    case 8:
                        index[x] = row[static_cast<size_t>(x)];
                        break;
                    case 24: {
                        const uint8_t* p = &row[static_cast<size_t>(3 * x)];
                        line[x] = 0xFF000000u | uint32_t{p[2]} << 16 | uint32_t{p[1]} << 8 | p[0];
                        break;
                    }
                    default: {
                        const uint32_t v =
                            bits == 16 ? U16(&row[static_cast<size_t>(2 * x)]) : U32(&row[static_cast<size_t>(4 * x)]);
                        line[x] =
                            (masks[3] ? alpha.Of(v) : 0xFF) << 24 | red.Of(v) << 16 | green.Of(v) << 8 | blue.Of(v);
                    }
                }
            }
        }
    }
    if (bits <= 8) {
        // An index beyond the colour table reads as transparent black.
        for (size_t i = 0; i < out.pixels.size(); ++i) out.pixels[i] = indexes[i] < colours ? palette[indexes[i]] : 0;
    }
    return ImageStatus::kOk;
}

}  // namespace platform::codecs
