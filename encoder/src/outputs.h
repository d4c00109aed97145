// The outputs that draw on surfaces the library makes (BMP file, WMF file,
// clipboard) and the module grid handed back as text.
#pragma once

#include <cstdint>
#include <functional>
#include <vector>

#include "gdi/device_context.h"
#include "gdi/raster_surface.h"
#include "settings.h"

namespace mosaire {

// 1 when the colours are exactly white background and black bars, else 4.
int BmpBitsPerPixel(const EncoderSettings& s);

// Each returns true on success. The old file of that name is deleted first;
// a surface that cannot be made or a file that cannot be created gives false.
bool SaveAsBmp(const EncoderSettings& s, const char* path);
bool SaveAsWmf(const EncoderSettings& s, const char* path);
bool CopyToClipboard(const EncoderSettings& s);

// A drawn surface as a whole BMP file of 1 or 4 bits per pixel (what
// SaveAsBmp writes); empty when the file would pass 4 GiB or memory runs out.
std::vector<uint8_t> BmpFileBytes(const platform::RasterSurface& surface, int bits);

// The placeable-metafile header (22 bytes) for a width x height picture.
std::vector<uint8_t> PlaceableWmfHeader(int32_t width, int32_t height);
// A whole placeable WMF file of width x height pixels holding what `draw`
// draws on the recording context (what SaveAsWmf writes).
std::vector<uint8_t> RecordWmfFile(int32_t width, int32_t height,
                                   const std::function<void(platform::DeviceContext&)>& draw);
// The recorded drawing as an enhanced metafile (what the clipboard gets).
std::vector<uint8_t> RecordEnhancedMetafile(const EncoderSettings& s);

// Pattern text: n x n bytes '0'/'1', byte k * n + (n - 1 - r) for matrix
// module (r, k). With *size < n * n (or no buffer) only *size, *rows, *cols
// are set and the result is false; a message that cannot be encoded gives
// zeros and true. `rows` and `cols` may be null.
bool GetPatternData(const EncoderSettings& s, uint8_t* buffer, uint32_t& size, int16_t* rows, int16_t* cols);

}  // namespace mosaire
