#include "outputs.h"

#include <memory>
#include <new>

#include "drawing.h"
#include "encode_symbol.h"
#include "gdi/byte_writer.h"
#include "gdi/clipboard.h"
#include "gdi/dib_packing.h"
#include "gdi/metafile_context.h"
#include "gdi/raster_surface.h"
#include "gdi/screen.h"
#include "files/whole_file.h"

namespace mosaire {

namespace {

constexpr uint32_t kFileHeaderBytes = 14;
constexpr uint32_t kInfoHeaderBytes = 40;
constexpr uint32_t kPlaceableKey = 0x9AC6CDD7;

// The info header, colour table and pixel rows in one block, as written
// behind the 14-byte file header.
struct PackedDib {
    std::unique_ptr<uint8_t[]> block;
    uint32_t size = 0;
};

PackedDib PackDib(const platform::RasterSurface& surface, int bits) {
    const int colours = platform::DibColourCount(bits);
    const int64_t imageSize = platform::DibImageSize(surface.Width(), surface.Height(), bits);
    const int64_t total = kInfoHeaderBytes + 4 * colours + imageSize;
    if (total > UINT32_MAX - kFileHeaderBytes) return {};
    PackedDib dib;
    dib.block.reset(new (std::nothrow) uint8_t[static_cast<size_t>(total)]);
    if (!dib.block) return {};
    dib.size = static_cast<uint32_t>(total);
    std::vector<uint8_t> h;
    h.reserve(kInfoHeaderBytes);
    platform::PutU32(h, kInfoHeaderBytes);
    platform::PutU32(h, static_cast<uint32_t>(surface.Width()));
    platform::PutU32(h, static_cast<uint32_t>(surface.Height()));
    platform::PutU16(h, 1);  // planes
    platform::PutU16(h, static_cast<uint32_t>(bits));
    platform::PutU32(h, 0);  // no compression
    platform::PutU32(h, static_cast<uint32_t>(imageSize));
    for (int i = 0; i < 4; ++i) platform::PutU32(h, 0);  // resolutions, colours used, important
    std::copy(h.begin(), h.end(), dib.block.get());
    uint8_t* table = dib.block.get() + kInfoHeaderBytes;
    platform::PackDibBits(surface, bits, table, table + 4 * colours);
    return dib;
}

std::vector<uint8_t> BmpFileHeader(const PackedDib& dib, int bits) {
    std::vector<uint8_t> h;
    h.reserve(kFileHeaderBytes);
    platform::PutU16(h, 0x4D42);
    platform::PutU32(h, kFileHeaderBytes + dib.size);
    platform::PutU32(h, 0);  // reserved
    platform::PutU32(h, kFileHeaderBytes + kInfoHeaderBytes + 4 * platform::DibColourCount(bits));
    return h;
}

}  // namespace

int BmpBitsPerPixel(const EncoderSettings& s) {
    return s.backColor == platform::kWhite && s.barColor == platform::kBlack ? 1 : 4;
}

bool SaveAsBmp(const EncoderSettings& s, const char* path) {
    if (path == nullptr) return false;
    const int bits = BmpBitsPerPixel(s);
    PackedDib dib;
    if (auto surface = platform::RasterSurface::Create(s.width, s.height)) {
        DrawSymbol(s, *surface, 0, 0, ResolutionRule::kOutputSurface);
        dib = PackDib(*surface, bits);
    }
    // The old file stays as it is unless the new one is written whole.
    if (!dib.block) return false;
    const std::vector<uint8_t> fileHeader = BmpFileHeader(dib, bits);
    return platform::WriteWholeFile(path, {fileHeader, {dib.block.get(), dib.size}});
}

std::vector<uint8_t> BmpFileBytes(const platform::RasterSurface& surface, int bits) {
    const PackedDib dib = PackDib(surface, bits);
    if (!dib.block) return {};
    std::vector<uint8_t> file = BmpFileHeader(dib, bits);
    file.insert(file.end(), dib.block.get(), dib.block.get() + dib.size);
    return file;
}

std::vector<uint8_t> PlaceableWmfHeader(int32_t width, int32_t height) {
    std::vector<uint8_t> h;
    h.reserve(22);
    platform::PutU32(h, kPlaceableKey);
    platform::PutU16(h, 0);  // handle
    platform::PutU16(h, 0);  // left
    platform::PutU16(h, 0);  // top
    platform::PutU16(h, static_cast<uint16_t>(width));
    platform::PutU16(h, static_cast<uint16_t>(height));
    platform::PutU16(h, static_cast<uint32_t>(platform::Screen()->ResolutionX()));
    platform::PutU32(h, 0);  // reserved
    uint16_t checksum = 0;
    for (size_t i = 0; i < h.size(); i += 2) checksum ^= static_cast<uint16_t>(h[i] | h[i + 1] << 8);
    platform::PutU16(h, checksum);
    return h;
}

std::vector<uint8_t> RecordWmfFile(int32_t width, int32_t height,
                                   const std::function<void(platform::DeviceContext&)>& draw) {
    std::vector<uint8_t> file = PlaceableWmfHeader(width, height);
    const auto recorder = platform::StartWmfRecording();
    recorder->SetWindowExt(width, height);
    recorder->SetWindowOrg(0, 0);
    draw(*recorder);
    const std::vector<uint8_t> metafile = recorder->Close();
    file.insert(file.end(), metafile.begin(), metafile.end());
    return file;
}

bool SaveAsWmf(const EncoderSettings& s, const char* path) {
    if (path == nullptr) return false;
    const std::vector<uint8_t> file = RecordWmfFile(s.width, s.height, [&](platform::DeviceContext& dc) {
        DrawSymbol(s, dc, 0, 0, ResolutionRule::kOutputSurface);
    });
    return platform::WriteWholeFile(path, {file});
}

std::vector<uint8_t> RecordEnhancedMetafile(const EncoderSettings& s) {
    const auto recorder = platform::StartEmfRecording();
    recorder->SetMapMode(platform::kMapModeText);
    recorder->SetWindowExt(s.width, s.height);
    recorder->SetWindowOrg(0, 0);
    DrawSymbol(s, *recorder, 0, 0, ResolutionRule::kOutputSurface);
    return recorder->Close();
}

bool CopyToClipboard(const EncoderSettings& s) {
    return platform::PutEnhancedMetafileOnClipboard(RecordEnhancedMetafile(s));
}

bool GetPatternData(const EncoderSettings& s, uint8_t* buffer, uint32_t& size, int16_t* rows, int16_t* cols) {
    auto report = [&](uint32_t bytes, int16_t n) {
        size = bytes;
        if (rows != nullptr) *rows = n;
        if (cols != nullptr) *cols = n;
    };
    const EncodedSymbol symbol = EncodeSymbol(s);
    if (symbol.DoesNotFit()) {
        report(0, 0);
        return true;
    }
    const ModuleMatrix* matrix = symbol.matrix.get();
    const int n = matrix->side;
    const uint32_t needed = static_cast<uint32_t>(n * n);
    if (buffer == nullptr || size < needed) {
        report(needed, static_cast<int16_t>(n));
        return false;
    }
    for (int k = 0; k < n; ++k)
        for (int r = 0; r < n; ++r) buffer[k * n + (n - 1 - r)] = matrix->value[r][k] == 1 ? '1' : '0';
    return true;
}

}  // namespace mosaire
