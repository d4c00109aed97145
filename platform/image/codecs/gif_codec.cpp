// GIF through giflib: the first image on a canvas of the logical screen's
// size, as Qt's reader gives it. The canvas starts transparent black (read
// as black without alpha when the image has no transparent colour); an
// image smaller than the screen first fills it with the background colour
// when it has no transparent colour.
#include <gif_lib.h>

#include <algorithm>
#include <cstring>

#include "image/codecs/codecs.h"

namespace platform::codecs {

namespace {

// An LZW code is at least one and a half bytes once the table holds 4096
// strings, and no string is longer than 4096 pixels: a file holds at most
// about 2731 pixels a byte.
constexpr int64_t kLzwPixelsPerByte = 2731;

struct Source {
    Bytes file;
    size_t at = 0;
};

int ReadFromMemory(GifFileType* gif, GifByteType* data, int length) {
    auto* source = static_cast<Source*>(gif->UserData);
    const size_t n = std::min(static_cast<size_t>(length < 0 ? 0 : length), source->file.size - source->at);
    std::memcpy(data, source->file.data + source->at, n);
    source->at += n;
    return static_cast<int>(n);
}

struct Closer {
    GifFileType* gif;
    ~Closer() {
        int error = 0;
        if (gif) DGifCloseFile(gif, &error);
    }
};

uint32_t Colour(const ColorMapObject* map, int index) {
    if (!map || index < 0 || index >= map->ColorCount) return 0;
    const GifColorType& c = map->Colors[index];
    return 0xFF000000u | uint32_t{c.Red} << 16 | uint32_t{c.Green} << 8 | c.Blue;
}

ImageStatus Read(GifFileType* gif, Bytes file, const Limits& limits, Picture& out) {
    const int64_t pixelBound = static_cast<int64_t>(file.size) * kLzwPixelsPerByte;
    int transparent = -1;
    for (;;) {
        GifRecordType type;
        if (DGifGetRecordType(gif, &type) == GIF_ERROR) return ImageStatus::kUnreadable;
        if (type == TERMINATE_RECORD_TYPE) return ImageStatus::kUnreadable;  // no image
        if (type == EXTENSION_RECORD_TYPE) {
            int code = 0;
            GifByteType* block = nullptr;
            if (DGifGetExtension(gif, &code, &block) == GIF_ERROR) return ImageStatus::kUnreadable;
            while (block != nullptr) {
                if (code == GRAPHICS_EXT_FUNC_CODE && block[0] >= 4) transparent = (block[1] & 1) ? block[4] : -1;
                code = 0;
                if (DGifGetExtensionNext(gif, &block) == GIF_ERROR) return ImageStatus::kUnreadable;
            }
            continue;
        }
        if (type != IMAGE_DESC_RECORD_TYPE) continue;
        if (DGifGetImageDesc(gif) == GIF_ERROR) return ImageStatus::kUnreadable;
        const GifImageDesc& frame = gif->Image;
        int screenWidth = gif->SWidth, screenHeight = gif->SHeight;
        if (screenWidth <= 0 || screenHeight <= 0) {
            screenWidth = frame.Left + frame.Width;
            screenHeight = frame.Top + frame.Height;
        }
        ImageStatus status = CheckAnnounced(frame.Width, frame.Height, limits,
                                            [&] { return int64_t{frame.Width} * frame.Height <= pixelBound; });
        if (status == ImageStatus::kOk)
            status = CheckAnnounced(screenWidth, screenHeight, limits,
                                    [&] { return int64_t{screenWidth} * screenHeight <= pixelBound; });
        if (status != ImageStatus::kOk) return status;
        if (Allocate(out, screenWidth, screenHeight) != ImageStatus::kOk) return ImageStatus::kOutOfMemory;
        std::vector<GifPixelType> line;
        try {
            line.resize(static_cast<size_t>(frame.Width));
        } catch (const std::bad_alloc&) {
            return ImageStatus::kOutOfMemory;
        }

        const ColorMapObject* map = frame.ColorMap ? frame.ColorMap : gif->SColorMap;
        // Without a transparent colour every pixel is opaque.
        const uint32_t opaque = transparent >= 0 ? 0 : 0xFF000000u;
        const bool whole =
            frame.Left == 0 && frame.Top == 0 && frame.Width == screenWidth && frame.Height == screenHeight;
        const uint32_t fill =
            !whole && transparent < 0 && gif->SColorMap ? Colour(gif->SColorMap, gif->SBackGroundColor) : 0;
        std::fill(out.pixels.begin(), out.pixels.end(), fill | opaque);

        // Row order: interlaced images come in four passes.
        static constexpr int kStart[4] = {0, 4, 2, 1}, kStep[4] = {8, 8, 4, 2};
        const int passes = frame.Interlace ? 4 : 1;
        for (int pass = 0; pass < passes; ++pass) {
            const int start = frame.Interlace ? kStart[pass] : 0, step = frame.Interlace ? kStep[pass] : 1;
            for (int row = start; row < frame.Height; row += step) {
                if (DGifGetLine(gif, line.data(), frame.Width) == GIF_ERROR) return ImageStatus::kUnreadable;
                const int y = frame.Top + row;
                if (y < 0 || y >= screenHeight) continue;
                uint32_t* target = out.pixels.data() + static_cast<size_t>(y) * static_cast<size_t>(screenWidth);
                for (int x = 0; x < frame.Width; ++x) {
                    const int column = frame.Left + x;
                    if (column >= screenWidth) break;
                    if (line[static_cast<size_t>(x)] == transparent) continue;
                    target[column] = Colour(map, line[static_cast<size_t>(x)]) | opaque;
                }
            }
        }
        return ImageStatus::kOk;
    }
}

}  // namespace

ImageStatus DecodeGif(Bytes file, const Limits& limits, Picture& out) {
    Source source{file};
    int error = 0;
    Closer closer{DGifOpen(&source, ReadFromMemory, &error)};
    if (!closer.gif) return error == D_GIF_ERR_NOT_ENOUGH_MEM ? ImageStatus::kOutOfMemory : ImageStatus::kUnreadable;
    const ImageStatus status = Read(closer.gif, file, limits, out);
    if (status != ImageStatus::kOk) out = Picture{};
    return status;
}

}  // namespace platform::codecs
