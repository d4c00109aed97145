// Lectavo's C++ interface: finds and decodes every QR Code symbol in a
// picture, as values.
//
//     #include <lectavo/decoder.hpp>
//
//     lectavo::DecodeOptions options;            // every symbol, full effort
//     for (const lectavo::Symbol& s : lectavo::DecodeFile("ticket.png", options))
//         std::cout << s.text.value_or("<binary>") << '\n';
//
// Unlike the C interface (lectavo.h), nothing here is process-wide: options
// are a value passed to each call, results are values the caller owns, there
// is no limit of 32 symbols and corners are not rounded. Calls from any
// number of threads run in parallel without locks, each with its own
// Workspace (or none: the calls without one make a fresh one).
//
// Errors are exceptions of type lectavo::DecodeError with a code; a picture
// in which nothing is found is not an error (the result is empty).
#ifndef LECTAVO_DECODER_HPP
#define LECTAVO_DECODER_HPP

#include <array>
#include <cstddef>
#include <cstdint>
#include <memory>
#include <optional>
#include <stdexcept>
#include <string>
#include <vector>

// LECTAVO_STATIC: the interface is linked into the program itself rather
// than imported from Lectavo.dll.
#if defined(LECTAVO_STATIC)
#define LECTAVO_CPP_API
#elif defined(_WIN32)
#if defined(LECTAVO_BUILDING_LIBRARY)
#define LECTAVO_CPP_API __declspec(dllexport)
#else
#define LECTAVO_CPP_API __declspec(dllimport)
#endif
#else
#define LECTAVO_CPP_API __attribute__((visibility("default")))
#endif

namespace lectavo {

// ---- Pictures ----------------------------------------------------------------

// Byte order of one pixel; 1, 3 or 4 bytes. kBinary: one byte, non-zero dark,
// searched as the plane it is. Colour pictures are read as grey
// (0.30 R + 0.59 G + 0.11 B, as the file readers do); alpha is ignored.
enum class PixelFormat : uint8_t { kGrey, kRGB, kBGR, kRGBA, kBGRA, kBinary };

LECTAVO_CPP_API int BytesPerPixel(PixelFormat format);

// A picture the caller owns, borrowed for the length of one call: `height`
// rows of `width` pixels, row y starting at data + y * stride. The stride may
// exceed the row (padding) or be negative (rows bottom up); 0 means rows
// follow each other without padding. Grey: 0 black .. 255 white.
struct ImageView {
    const uint8_t* data = nullptr;
    int width = 0;
    int height = 0;
    std::ptrdiff_t stride = 0;
    PixelFormat format = PixelFormat::kGrey;
};

// A rectangle in picture pixels; right and bottom are exclusive.
struct Rect {
    int left = 0, top = 0, right = 0, bottom = 0;
};

// ---- Options -----------------------------------------------------------------

struct DecodeOptions {
    // At most this many symbols; 0 reads every symbol the picture holds.
    // Work stays bounded on any picture: each binary plane keeps at most 256
    // finder candidates, so a sheet of hundreds of small symbols gives the
    // first several dozen (a thousand version 1 symbols: about 70).
    int maxSymbols = 0;
    // Which binarisation passes run: bit 0 the vote pass, bit 1 the block
    // pass; 3 (both) also lets the photo stage run. Outside 0-3: 3.
    int effort = 3;
    // The photo stage (perspective, uneven light, blur, bent sheets, light on
    // dark, mirrored symbols, ECI and FNC1) runs after the binary passes when
    // they found fewer symbols than wanted and `effort` is 3.
    bool photoStage = true;
    // Fixed brightness threshold 1-255 for the binary passes; 0 computes it.
    int threshold = 0;
    // Smallest module the binary passes look for, in pixels (1-255).
    int minModuleSize = 1;
    // Only this part of the picture is searched (clipped to the picture);
    // corners are still reported in whole-picture pixels.
    std::optional<Rect> rect;
};

// ---- Results -----------------------------------------------------------------

enum class Level : uint8_t { L = 0, M = 1, Q = 2, H = 3 };

// Which search read the symbol: the binary-plane passes or the photo stage.
enum class Search : uint8_t { kBinaryPasses, kPhotoStage };

struct PointF {
    float x = 0, y = 0;
};

// A symbol's place in a structured-append sequence; total 0: none.
struct StructuredAppend {
    int position = 0;  // 0-based
    int total = 0;     // 1-16 symbols in the sequence
    uint8_t parity = 0;
};

struct Symbol {
    // The data bytes as the symbol holds them (ECI designators left out,
    // Kanji as two-byte Shift JIS, FNC1 as GS 0x1D).
    std::vector<uint8_t> bytes;
    // The data as UTF-8 where they are text (never with a zero byte): valid
    // UTF-8 as they stand,
    // ISO 8859-1 or ASCII where an ECI designator says so, otherwise code
    // page 936 (GBK) where the bytes are valid GBK and hold no control
    // characters other than tab, line feed and carriage return.
    std::optional<std::string> text;
    int version = 0;  // 1-40
    Level level = Level::L;
    int mask = 0;  // 0-7
    // Top-left, top-right, bottom-right, bottom-left as the symbol reads, in
    // picture pixels.
    std::array<PointF, 4> corners{};
    StructuredAppend structuredAppend;
    int eci = -1;      // the first ECI designator, -1 without one
    bool gs1 = false;  // FNC1 in first position
    bool mirrored = false;
    bool inverted = false;  // light modules on a dark ground
    Search foundBy = Search::kBinaryPasses;
};

// ---- Errors ------------------------------------------------------------------

enum class ErrorCode {
    kInvalidView,   // null data, a size of 0 or less, a stride shorter than a row
    kTooLarge,      // a side over 65,535 pixels or more than 2^28 pixels
    kFileNotFound,  // no such file
    kUnreadable,    // not a picture file this library reads, or a damaged one
    kAccessDenied,  // the file cannot be opened (permissions, locked)
    kOutOfMemory,   // the picture is too large to hold (running short of memory
                    // anywhere else throws std::bad_alloc)
};

class LECTAVO_CPP_API DecodeError : public std::runtime_error {
public:
    DecodeError(ErrorCode code, const std::string& what) : std::runtime_error(what), code_(code) {}
    ErrorCode code() const noexcept { return code_; }

private:
    ErrorCode code_;
};

// ---- Decoding ----------------------------------------------------------------

// Working memory kept from one call to the next, so repeated calls do not
// allocate it again. Use one per thread; it holds no results.
class LECTAVO_CPP_API Workspace {
public:
    Workspace();
    ~Workspace();
    Workspace(Workspace&&) noexcept;
    Workspace& operator=(Workspace&&) noexcept;
    Workspace(const Workspace&) = delete;
    Workspace& operator=(const Workspace&) = delete;

    struct State;
    State& state() { return *state_; }

private:
    std::unique_ptr<State> state_;
};

// Every symbol found in the picture (up to options.maxSymbols), in the order
// the searches found them: the binary passes' results in reading order, then
// the photo stage's. Throws DecodeError for a bad view.
LECTAVO_CPP_API std::vector<Symbol> Decode(const ImageView& image, const DecodeOptions& options, Workspace& workspace);
LECTAVO_CPP_API std::vector<Symbol> Decode(const ImageView& image, const DecodeOptions& options = {});

// The same for a picture file (BMP, JPEG, PNG, GIF, TIFF, WebP, ...), read as
// the C interface reads it: 1-bit pictures keep their exact threshold, and a
// picture with unequal horizontal and vertical resolution is resampled to
// square pixels. `path` is a byte string passed to the system unchanged.
// Throws DecodeError when the file cannot be read. Memory at the peak: at
// most 64 MiB + 5 bytes for each pixel the file holds, and a progressive
// JPEG's coefficients (lectavo.h tells the rule and the measured figures).
LECTAVO_CPP_API std::vector<Symbol> DecodeFile(const std::string& path, const DecodeOptions& options,
                                               Workspace& workspace);
LECTAVO_CPP_API std::vector<Symbol> DecodeFile(const std::string& path, const DecodeOptions& options = {});

}  // namespace lectavo

#endif  // LECTAVO_DECODER_HPP
