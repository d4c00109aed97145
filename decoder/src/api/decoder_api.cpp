// The C++ interface over the pure decode call: views checked and turned into
// the grey or binary array the searches read, options mapped, results turned
// into values in picture pixels.
#include <algorithm>
#include <cerrno>
#include <new>

#include "api/symbol_text.h"
#include "decode_call.h"
#include "lectavo/decoder.hpp"
#include "result_codes.h"

namespace lectavo {

struct Workspace::State {
    DecodeWorkspace reading;
    std::vector<uint8_t> pixels;  // the view as one contiguous grey array
};

Workspace::Workspace() : state_(std::make_unique<State>()) {}
Workspace::~Workspace() = default;
Workspace::Workspace(Workspace&&) noexcept = default;
Workspace& Workspace::operator=(Workspace&&) noexcept = default;

int BytesPerPixel(PixelFormat format) {
    switch (format) {
        case PixelFormat::kRGB:
        case PixelFormat::kBGR:
            return 3;
        case PixelFormat::kRGBA:
        case PixelFormat::kBGRA:
            return 4;
        default:
            return 1;
    }
}

namespace {

[[noreturn]] void Fail(ErrorCode code, const char* what) { throw DecodeError(code, what); }

DecoderOptions InternalOptions(const DecodeOptions& options) {
    DecoderOptions internal;
    internal.symbolCount = options.maxSymbols <= 0 ? kEverySymbol : std::min(options.maxSymbols, kEverySymbol);
    internal.effectLevel = options.effort < 0 || options.effort > 3 ? 3 : options.effort;
    internal.brightnessBorder = static_cast<uint8_t>(std::clamp(options.threshold, 0, 255));
    internal.minimumModuleSize = static_cast<uint8_t>(std::clamp(options.minModuleSize, 1, 255));
    internal.photoStage = options.photoStage;
    return internal;
}

void ThrowForCode(int code) {
    switch (code) {
        case kFileNotFound:
            Fail(ErrorCode::kFileNotFound, "file not found");
        case kUnreadable:
            Fail(ErrorCode::kUnreadable, "file format cannot be read");
        case kSharingViolation:
            Fail(ErrorCode::kAccessDenied, "file cannot be opened");
        case kOutOfMemory:
            Fail(ErrorCode::kOutOfMemory, "picture too large to hold");
        default:
            return;
    }
}

Symbol ToSymbol(const DecodeResult& r, const PositionMapping& m) {
    Symbol s;
    s.bytes.assign(r.data, r.data + r.dataLength);
    s.text =
        TextOfData(std::string_view(reinterpret_cast<const char*>(r.data), static_cast<size_t>(r.dataLength)), r.eci);
    s.version = r.version;
    s.level = static_cast<Level>(r.level & 3);
    s.mask = r.mask;
    for (int k = 0; k < 4; ++k)
        s.corners[k] = {r.exactCorners[k][0] / m.scaleX + static_cast<float>(m.originX),
                        r.exactCorners[k][1] / m.scaleY + static_cast<float>(m.originY)};
    s.structuredAppend = {r.sequencePosition, r.sequenceTotal, r.sequenceParity};
    s.eci = r.eci;
    s.gs1 = r.gs1;
    s.mirrored = r.mirrored;
    s.inverted = r.inverted;
    s.foundBy = r.foundBy == FoundBy::kPhotoStage ? Search::kPhotoStage : Search::kBinaryPasses;
    return s;
}

std::vector<Symbol> ToSymbols(const CallOutcome& outcome, int maxSymbols) {
    ThrowForCode(outcome.code);
    size_t count = outcome.results.size();
    if (maxSymbols > 0) count = std::min(count, static_cast<size_t>(maxSymbols));
    std::vector<Symbol> symbols;
    symbols.reserve(count);
    for (size_t i = 0; i < count; ++i) symbols.push_back(ToSymbol(outcome.results[i], outcome.mapping));
    return symbols;
}

void CheckView(const ImageView& image) {
    if (!image.data) Fail(ErrorCode::kInvalidView, "image data is null");
    if (image.width <= 0 || image.height <= 0) Fail(ErrorCode::kInvalidView, "image width and height must be positive");
    if (image.format > PixelFormat::kBinary) Fail(ErrorCode::kInvalidView, "unknown pixel format");
    if (!WithinSizeLimit(image.width, image.height))
        Fail(ErrorCode::kTooLarge, "image larger than 65535 pixels a side or 2^28 pixels");
    const std::ptrdiff_t row = static_cast<std::ptrdiff_t>(image.width) * BytesPerPixel(image.format);
    if (image.stride != 0 && (image.stride < 0 ? -image.stride : image.stride) < row)
        Fail(ErrorCode::kInvalidView, "image stride is shorter than a row");
}

// One byte per pixel of `window`, rows following each other: grey, or the
// binary plane as it is.
void CopyWindow(const ImageView& image, const PictureRect& window, std::vector<uint8_t>& out) {
    const int bpp = BytesPerPixel(image.format);
    const std::ptrdiff_t stride = image.stride != 0 ? image.stride : static_cast<std::ptrdiff_t>(image.width) * bpp;
    const int width = window.right - window.left, height = window.bottom - window.top;
    out.resize(static_cast<size_t>(width) * static_cast<size_t>(height));
    // Byte offsets of red, green and blue within a pixel.
    const bool bgr = image.format == PixelFormat::kBGR || image.format == PixelFormat::kBGRA;
    const int red = bgr ? 2 : 0, blue = bgr ? 0 : 2;
    for (int y = 0; y < height; ++y) {
        const uint8_t* row = image.data + (window.top + y) * stride + static_cast<std::ptrdiff_t>(window.left) * bpp;
        uint8_t* to = out.data() + static_cast<size_t>(y) * static_cast<size_t>(width);
        if (bpp == 1) {
            std::copy(row, row + width, to);
            continue;
        }
        for (int x = 0; x < width; ++x, row += bpp) to[x] = GreyOf(row[red], row[1], row[blue]);
    }
}

}  // namespace

std::vector<Symbol> Decode(const ImageView& image, const DecodeOptions& options, Workspace& workspace) {
    CheckView(image);
    const PictureRect* rect = nullptr;
    PictureRect asked;
    if (options.rect) {
        asked = {options.rect->left, options.rect->top, options.rect->right, options.rect->bottom};
        rect = &asked;
    }
    PictureRect window;
    if (!ClipToPicture(image.width, image.height, rect, window)) return {};
    const DecoderOptions internal = InternalOptions(options);
    Workspace::State& state = workspace.state();
    const bool whole =
        window.left == 0 && window.top == 0 && window.right == image.width && window.bottom == image.height;
    const bool contiguous = image.stride == 0 || image.stride == image.width;
    const uint8_t* pixels = image.data;
    if (BytesPerPixel(image.format) != 1 || !whole || !contiguous) {
        CopyWindow(image, window, state.pixels);
        pixels = state.pixels.data();
    }
    const int width = window.right - window.left, height = window.bottom - window.top;
    CallOutcome outcome = image.format == PixelFormat::kBinary
                              ? DecodeBinaryCall(pixels, width, height, internal, state.reading)
                              : DecodeGreyCall(pixels, width, height, internal, state.reading);
    outcome.mapping.originX = window.left;
    outcome.mapping.originY = window.top;
    return ToSymbols(outcome, options.maxSymbols);
}

std::vector<Symbol> Decode(const ImageView& image, const DecodeOptions& options) {
    Workspace workspace;
    return Decode(image, options, workspace);
}

std::vector<Symbol> DecodeFile(const std::string& path, const DecodeOptions& options, Workspace& workspace) {
    PictureRect asked;
    const PictureRect* rect = nullptr;
    if (options.rect) {
        asked = RectFromCorners(options.rect->left, options.rect->top, options.rect->right, options.rect->bottom);
        rect = &asked;
    }
    const CallOutcome outcome = DecodeFileCall(path.c_str(), rect, InternalOptions(options), workspace.state().reading);
    return ToSymbols(outcome, options.maxSymbols);
}

std::vector<Symbol> DecodeFile(const std::string& path, const DecodeOptions& options) {
    Workspace workspace;
    return DecodeFile(path, options, workspace);
}

}  // namespace lectavo
