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

// What the headers announce.
struct Header {
    uint32_t headerSize = 0;
    int64_t dataOffset = 0;
    int64_t width = 0, height = 0;
    int bits = 0;
    uint32_t compression = kRgb, coloursUsed = 0;
    int32_t perMetreX = 0, perMetreY = 0;
    size_t paletteEntry = 4;
    bool topDown = false;

    bool Rle() const { return compression == kRle4 || compression == kRle8; }
    // Bit-field masks after a 40-byte header rather than inside a larger one.
    bool SeparateMasks() const { return compression == kBitFields && headerSize < 52; }
    int64_t Stride() const { return (width * bits + 31) / 32 * 4; }
    int Colours() const {
        return bits > 8 ? 0 : coloursUsed ? static_cast<int>(std::min<uint32_t>(coloursUsed, 257)) : 1 << bits;
    }
};

// The file and information headers (OS/2 or Windows), with the depths and
// compressions read checked; false for anything else.
bool ReadHeader(Bytes file, Header& h) {
    if (file.size < 14 + 12) return false;
    const uint8_t* b = file.data;
    h.headerSize = U32(b + 14);
    h.dataOffset = U32(b + 10);
    if (h.headerSize == 12) {
        h.width = U16(b + 18);
        h.height = static_cast<int16_t>(U16(b + 20));
        if (U16(b + 22) != 1) return false;
        h.bits = static_cast<int>(U16(b + 24));
        h.paletteEntry = 3;
    } else {
        if (h.headerSize < 40 || 14 + int64_t{h.headerSize} > static_cast<int64_t>(file.size)) return false;
        h.width = static_cast<int32_t>(U32(b + 18));
        h.height = static_cast<int32_t>(U32(b + 22));
        if (U16(b + 26) != 1) return false;
        h.bits = static_cast<int>(U16(b + 28));
        h.compression = U32(b + 30);
        h.perMetreX = static_cast<int32_t>(U32(b + 38));
        h.perMetreY = static_cast<int32_t>(U32(b + 42));
        h.coloursUsed = U32(b + 46);
    }
    h.topDown = h.height < 0;
    if (h.topDown) h.height = -h.height;
    const int bits = h.bits;
    if (!(bits == 1 || bits == 4 || bits == 8 || bits == 16 || bits == 24 || bits == 32)) return false;
    const uint32_t c = h.compression;
    if (!(c == kRgb || (bits == 4 && c == kRle4) || (bits == 8 && c == kRle8) ||
          ((bits == 16 || bits == 32) && c == kBitFields)))
        return false;
    if (h.topDown && h.Rle()) return false;
    return h.Colours() <= 256;
}

// Where the pixels start: after the colour table, or further on where the
// file header says so (a negative offset is ignored, as Qt does).
int64_t DataStart(const Header& h) {
    const int64_t tableEnd = 14 + int64_t{h.headerSize} + (h.SeparateMasks() ? 12 : 0) +
                             int64_t{h.Colours()} * static_cast<int64_t>(h.paletteEntry);
    return h.dataOffset > tableEnd && static_cast<int32_t>(h.dataOffset) >= 0 ? h.dataOffset : tableEnd;
}

// Channel masks (defaults, or from the headers) and the colour table; `in`
// is left after the table. False when the file ends inside them.
bool ReadMasksAndPalette(Bytes file, const Header& h, Reader& in, uint32_t masks[4], uint32_t palette[256]) {
    const uint8_t* b = file.data;
    if (h.bits == 16) masks[0] = 0x7C00, masks[1] = 0x03E0, masks[2] = 0x001F;
    if (h.bits == 32) masks[0] = 0xFF0000, masks[1] = 0xFF00, masks[2] = 0xFF;
    if (h.compression == kBitFields) {
        if (!h.SeparateMasks()) {
            for (int i = 0; i < 3; ++i) masks[i] = U32(b + 54 + 4 * i);
        } else {
            uint8_t m[12];
            if (in.Read(m, 12) != 12) return false;
            for (int i = 0; i < 3; ++i) masks[i] = U32(m + 4 * i);
        }
    }
    if (h.headerSize >= 56 && (h.bits == 16 || h.bits == 32) && (h.compression == kBitFields || h.headerSize >= 108))
        masks[3] = U32(b + 66);
    for (int i = 0; i < h.Colours(); ++i) {
        uint8_t e[4];
        if (in.Read(e, h.paletteEntry) != h.paletteEntry) return false;
        palette[i] = 0xFF000000u | uint32_t{e[2]} << 16 | uint32_t{e[1]} << 8 | e[0];
    }
    return true;
}

// RLE4 or RLE8 runs into `indexes` (w x h, rows top down): runs stop at the
// end of their row, and pixels no run reaches keep index 0.
void DecodeRle(const Header& h, Reader& in, int w, int rows, std::vector<uint8_t>& indexes) {
    const bool rle8 = h.compression == kRle8;
    int x = 0, y = 0;  // y counts file rows, bottom up
    uint8_t count, value;
    auto put = [&](int at, uint8_t index) {
        if (at < w && y < rows) indexes[static_cast<size_t>(rows - 1 - y) * static_cast<size_t>(w) + at] = index;
    };
    while (y < rows && in.Byte(count)) {
        if (count != 0) {
            if (!in.Byte(value)) break;
            for (int i = 0; i < count; ++i) put(x++, rle8 ? value : (i & 1) ? value & 0x0F : value >> 4);
            continue;
        }
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
            const int bytes = rle8 ? code : (code + 1) / 2;
            for (int i = 0; i < bytes; ++i) {
                if (!in.Byte(value)) {
                    y = rows;
                    break;
                }
                if (rle8) {
                    put(x++, value);
                } else {
                    put(x++, value >> 4);
                    if (2 * i + 1 < code) put(x++, value & 0x0F);
                }
            }
            if (bytes & 1) in.Byte(value);
        }
    }
}

// Uncompressed rows: indexes for up to 8 bits, colours otherwise.
void DecodeRows(const Header& h, Reader& in, const uint32_t masks[4], std::vector<uint8_t>& row,
                std::vector<uint8_t>& indexes, Picture& out) {
    const int w = out.width, rows = out.height, bits = h.bits;
    const Channel red(masks[0]), green(masks[1]), blue(masks[2]), alpha(masks[3]);
    for (int n = 0; n < rows; ++n) {
        const int y = h.topDown ? n : rows - 1 - n;
        const size_t got = in.Read(row.data(), row.size());
        if (got < row.size()) break;  // not reached: the file holds every row
        uint8_t* index = bits <= 8 ? indexes.data() + static_cast<size_t>(y) * static_cast<size_t>(w) : nullptr;
        uint32_t* line = out.pixels.data() + static_cast<size_t>(y) * static_cast<size_t>(w);
        for (int x = 0; x < w; ++x) {
            switch (bits) {
                case 1:
                    index[x] = (row[static_cast<size_t>(x / 8)] >> (7 - x % 8)) & 1;
                    break;
                case 4:
                    index[x] = x % 2 ? row[static_cast<size_t>(x / 2)] & 0x0F : row[static_cast<size_t>(x / 2)] >> 4;
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
                    line[x] = (masks[3] ? alpha.Of(v) : 0xFF) << 24 | red.Of(v) << 16 | green.Of(v) << 8 | blue.Of(v);
                }
            }
        }
    }
}

}  // namespace

ImageStatus DecodeBmp(Bytes file, const Limits& limits, Picture& out) {
    Header h;
    if (!ReadHeader(file, h)) return ImageStatus::kUnreadable;
    const int64_t dataStart = DataStart(h);
    const int64_t fileSize = static_cast<int64_t>(file.size);
    const int64_t dataBytes = fileSize > dataStart ? fileSize - dataStart : 0;
    const ImageStatus announced = CheckAnnounced(h.width, h.height, limits, [&] {
        return h.Rle() ? h.width * h.height <= dataBytes * kRlePixelsPerByte : h.Stride() * h.height <= dataBytes;
    });
    if (announced != ImageStatus::kOk) return announced;

    Reader in{file, 14 + size_t{h.headerSize}};
    uint32_t masks[4] = {0, 0, 0, 0};
    uint32_t palette[256] = {};
    if (!ReadMasksAndPalette(file, h, in, masks, palette)) return ImageStatus::kUnreadable;
    in.at = static_cast<size_t>(dataStart);

    out.mono = h.bits == 1;
    SetDotsPerMetre(out, h.perMetreX, h.perMetreY);
    const int w = static_cast<int>(h.width), rows = static_cast<int>(h.height);
    if (Allocate(out, w, rows) != ImageStatus::kOk) {
        out = Picture{};
        return ImageStatus::kOutOfMemory;
    }
    // Indexes first for up to 8 bits, then their colours.
    std::vector<uint8_t> indexes;
    std::vector<uint8_t> row;
    try {
        if (h.bits <= 8) indexes.assign(static_cast<size_t>(w) * static_cast<size_t>(rows), 0);
        row.resize(static_cast<size_t>(h.Stride()));
    } catch (const std::bad_alloc&) {
        out = Picture{};
        return ImageStatus::kOutOfMemory;
    }
    std::fill(out.pixels.begin(), out.pixels.end(), h.bits <= 8 ? 0u : 0xFF000000u);
    if (h.Rle())
        DecodeRle(h, in, w, rows, indexes);
    else
        DecodeRows(h, in, masks, row, indexes, out);
    if (h.bits <= 8) {
        // An index beyond the colour table reads as transparent black.
        const int colours = h.Colours();
        for (size_t i = 0; i < out.pixels.size(); ++i) out.pixels[i] = indexes[i] < colours ? palette[indexes[i]] : 0;
    }
    return ImageStatus::kOk;
}

}  // namespace platform::codecs
