// PNG through libpng, giving each pixel the colour Qt's reader gives it:
// 1-bit grey and 1-bit palette pictures are 1-bit indexed; a transparent
// grey of a grey picture and transparent palette entries keep their alpha;
// 16-bit samples are cut to their high byte.
#include <png.h>

#include <csetjmp>
#include <cstring>
#include <new>

#include "image/codecs/codecs.h"

namespace platform::codecs {

namespace {

// Deflate turns at most 258 bytes into two bits, so a stream expands at
// most 1032 times: the filtered rows a header announces need at least
// their size / 1032 bytes of file.
constexpr int64_t kDeflateExpansion = 1032;

struct Source {
    Bytes file;
    size_t at = 0;
};

void ReadFromMemory(png_structp png, png_bytep data, png_size_t length) {
    auto* source = static_cast<Source*>(png_get_io_ptr(png));
    if (length > source->file.size - source->at) png_error(png, "file ends early");
    std::memcpy(data, source->file.data + source->at, length);
    source->at += length;
}

[[noreturn]] void OnError(png_structp png, png_const_charp) { png_longjmp(png, 1); }
void OnWarning(png_structp, png_const_charp) {}

// Everything the jump back may skip lives here, outside the function that
// calls setjmp.
struct Reading {
    png_structp png = nullptr;
    png_infop info = nullptr;
    Source source;
    std::vector<uint8_t> rows;
    std::vector<png_bytep> rowPointers;
    uint32_t table[256] = {};
    ~Reading() { png_destroy_read_struct(&png, info ? &info : nullptr, nullptr); }
};

enum class Layout { kMono, kGreyAlpha, kGrey, kIndexed, kRgb, kRgba };

// How libpng is asked to hand over the rows, and the colour table of the
// indexed layouts; libpng's errors jump back to the caller's setjmp (no
// object here needs a destructor).
Layout ChooseLayout(Reading& r, int colourType, int depth, Picture& out) {
    png_bytep transAlpha = nullptr;
    int transCount = 0;
    png_color_16p transColour = nullptr;
    const bool hasTrns = png_get_tRNS(r.png, r.info, &transAlpha, &transCount, &transColour) != 0;
    png_colorp palette = nullptr;
    int paletteCount = 0;
    const bool hasPalette = png_get_PLTE(r.png, r.info, &palette, &paletteCount) != 0;

    Layout layout;
    if (colourType == PNG_COLOR_TYPE_GRAY && depth == 1) {
        layout = Layout::kMono;
        png_set_packing(r.png);
        r.table[0] = 0xFF000000u;
        r.table[1] = 0xFFFFFFFFu;
        if (hasTrns && transColour && transColour->gray <= 1) r.table[transColour->gray] &= 0x00FFFFFFu;
    } else if (colourType == PNG_COLOR_TYPE_GRAY && depth == 16 && hasTrns) {
        layout = Layout::kGreyAlpha;
        png_set_expand(r.png);
        png_set_scale_16(r.png);
    } else if (colourType == PNG_COLOR_TYPE_GRAY && depth == 8 && !hasTrns) {
        layout = Layout::kGrey;
    } else if (colourType == PNG_COLOR_TYPE_GRAY) {
        layout = Layout::kIndexed;
        if (depth == 16) png_set_scale_16(r.png);
        if (depth < 8) png_set_packing(r.png);
        const int colours = depth < 8 ? 1 << depth : 256;
        for (int i = 0; i < colours; ++i) {
            const uint32_t c = static_cast<uint32_t>(i * 255 / (colours - 1));
            r.table[i] = 0xFF000000u | c << 16 | c << 8 | c;
        }
        if (hasTrns && transColour && transColour->gray < colours) r.table[transColour->gray] = 0;
    } else if (colourType == PNG_COLOR_TYPE_PALETTE && hasPalette && paletteCount <= 256) {
        layout = Layout::kIndexed;
        if (depth < 8) png_set_packing(r.png);
        for (int i = 0; i < paletteCount; ++i) {
            const uint32_t alpha = hasTrns && transAlpha && i < transCount ? transAlpha[i] : 0xFF;
            r.table[i] =
                alpha << 24 | uint32_t{palette[i].red} << 16 | uint32_t{palette[i].green} << 8 | palette[i].blue;
        }
        out.mono = depth == 1;
        if (depth == 1 && paletteCount < 2) r.table[1] = 0xFFFFFFFFu;
        for (int i = paletteCount; i < 256 && depth > 1; ++i) r.table[i] = r.table[0];
    } else {
        if (depth == 16) png_set_scale_16(r.png);
        png_set_expand(r.png);
        if (colourType == PNG_COLOR_TYPE_GRAY_ALPHA) png_set_gray_to_rgb(r.png);
        layout = (colourType & PNG_COLOR_MASK_ALPHA) || hasTrns ? Layout::kRgba : Layout::kRgb;
    }
    return layout;
}

// The decoded rows as ARGB pixels. The rows may lie in the pixels' own
// memory, row y at no more than 4 x width x y bytes from its start and no
// more than 4 bytes a pixel: filled from the last pixel back, each ARGB
// pixel is written at or after the bytes it is made of, and over bytes
// already read only.
void ToArgb(const Reading& r, Layout layout, Picture& out) {
    const int w = out.width, h = out.height;
    for (int y = h - 1; y >= 0; --y) {
        const uint8_t* in = r.rowPointers[static_cast<size_t>(y)];
        uint32_t* line = out.pixels.data() + static_cast<size_t>(y) * static_cast<size_t>(w);
        for (int x = w - 1; x >= 0; --x) {
            switch (layout) {
                case Layout::kMono:
                case Layout::kIndexed:
                    line[x] = r.table[in[x]];
                    break;
                case Layout::kGreyAlpha: {
                    const uint32_t g = in[2 * x];
                    line[x] = uint32_t{in[2 * x + 1]} << 24 | g << 16 | g << 8 | g;
                    break;
                }
                case Layout::kGrey:
                    line[x] = 0xFF000000u | uint32_t{in[x]} * 0x010101u;
                    break;
                case Layout::kRgb: {
                    const uint8_t* p = in + 3 * x;
                    line[x] = 0xFF000000u | uint32_t{p[0]} << 16 | uint32_t{p[1]} << 8 | p[2];
                    break;
                }
                case Layout::kRgba: {
                    const uint8_t* p = in + 4 * x;
                    line[x] = uint32_t{p[3]} << 24 | uint32_t{p[0]} << 16 | uint32_t{p[1]} << 8 | p[2];
                    break;
                }
            }
        }
    }
}

ImageStatus Read(Reading& r, const Limits& limits, Picture& out) {
    if (setjmp(png_jmpbuf(r.png))) return ImageStatus::kUnreadable;
    png_set_read_fn(r.png, &r.source, ReadFromMemory);
    // The sizes are checked below, against the caller's limits.
    png_set_user_limits(r.png, 0x7FFFFFFF, 0x7FFFFFFF);
    png_set_chunk_malloc_max(r.png, 8u << 20);
    png_read_info(r.png, r.info);
    png_uint_32 width = 0, height = 0;
    int depth = 0, colourType = 0;
    png_get_IHDR(r.png, r.info, &width, &height, &depth, &colourType, nullptr, nullptr, nullptr);
    const int64_t rowBytes = (int64_t{width} * depth * png_get_channels(r.png, r.info) + 7) / 8 + 1;
    const ImageStatus announced = CheckAnnounced(width, height, limits, [&] {
        return rowBytes * height <= static_cast<int64_t>(r.source.file.size) * kDeflateExpansion;
    });
    if (announced != ImageStatus::kOk) return announced;

    const Layout layout = ChooseLayout(r, colourType, depth, out);
    if (layout == Layout::kMono) out.mono = true;
    png_set_interlace_handling(r.png);
    png_read_update_info(r.png, r.info);

    png_uint_32 xPerMetre = 0, yPerMetre = 0;
    int unit = 0;
    if (png_get_pHYs(r.png, r.info, &xPerMetre, &yPerMetre, &unit) && unit == PNG_RESOLUTION_METER)
        SetDotsPerMetre(out, static_cast<int32_t>(xPerMetre), static_cast<int32_t>(yPerMetre));

    const size_t stride = png_get_rowbytes(r.png, r.info);
    const int w = static_cast<int>(width), h = static_cast<int>(height);
    if (Allocate(out, w, h) != ImageStatus::kOk) return ImageStatus::kOutOfMemory;
    // Every layout asked of libpng takes at most 4 bytes a pixel, so the
    // rows are decoded into the ARGB pixels' memory and widened there: the
    // picture costs 4 bytes a pixel, not 7 or 8 with rows of its own.
    const bool inPlace = stride <= 4 * static_cast<size_t>(w);
    try {
        if (!inPlace) r.rows.resize(stride * height);
        r.rowPointers.resize(height);
    } catch (const std::bad_alloc&) {
        return ImageStatus::kOutOfMemory;
    }
    uint8_t* const rows = inPlace ? reinterpret_cast<uint8_t*>(out.pixels.data()) : r.rows.data();
    for (png_uint_32 y = 0; y < height; ++y) r.rowPointers[y] = rows + stride * y;
    png_read_image(r.png, r.rowPointers.data());
    png_read_end(r.png, nullptr);

    ToArgb(r, layout, out);
    return ImageStatus::kOk;
}

}  // namespace

ImageStatus DecodePng(Bytes file, const Limits& limits, Picture& out) {
    Reading r;
    r.source.file = file;
    r.png = png_create_read_struct(PNG_LIBPNG_VER_STRING, nullptr, OnError, OnWarning);
    if (!r.png) return ImageStatus::kOutOfMemory;
    r.info = png_create_info_struct(r.png);
    if (!r.info) return ImageStatus::kOutOfMemory;
    const ImageStatus status = Read(r, limits, out);
    if (status != ImageStatus::kOk) out = Picture{};
    return status;
}

}  // namespace platform::codecs
