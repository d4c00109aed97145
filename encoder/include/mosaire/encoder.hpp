/*
 * Mosaire encoder library, C++ interface: makes one QR Code symbol from a
 * message and hands it back as a value, and renders a symbol as a grey
 * picture, SVG, terminal text, a BMP file or a WMF file in memory.
 *
 * It lives in the same library as the C interface (mosaire.h) and shares its
 * encoder: a message gives the same symbol through both (one mode for the
 * whole message: numeric when every byte is a digit, alphanumeric when every
 * byte is in the 45-character set, byte otherwise).
 *
 * Thread safety: every call works only on its arguments and its result. No
 * call reads or changes the C interface's process-wide settings, so calls may
 * run on any number of threads at once, beside C interface calls too, without
 * locks. A Matrix is an immutable value; copies share nothing.
 *
 * Errors: Encode and the renderers throw mosaire::EncodeError (with a reason)
 * for a message that does not fit or an argument out of range, and
 * std::bad_alloc when memory runs out. TryEncode is the non-throwing form of
 * Encode for the expected failure (it still lets std::bad_alloc through).
 */
#ifndef MOSAIRE_ENCODER_HPP
#define MOSAIRE_ENCODER_HPP

#include <cstddef>
#include <cstdint>
#include <optional>
#include <span>
#include <stdexcept>
#include <string>
#include <string_view>
#include <vector>

/* MOSAIRE_CXX_API marks what the library exports: imported from Mosaire.dll
   by Windows callers (exported while the library is built), default
   visibility elsewhere. */
#if defined(_WIN32)
#if defined(MOSAIRE_BUILDING_LIBRARY)
#define MOSAIRE_CXX_API __declspec(dllexport)
#else
#define MOSAIRE_CXX_API __declspec(dllimport)
#endif
#else
#define MOSAIRE_CXX_API __attribute__((visibility("default")))
#endif

namespace mosaire {

/* Error-correction level; the numbers are the C interface's level numbers. */
enum class Level { L = 0, M = 1, Q = 2, H = 3 };

struct EncodeOptions {
    Level level = Level::M;
    int version = 0; /* 0: the smallest version that holds the message; 1-40: that version or, when the
                        message needs more room, the smallest larger one that holds it */
    int mask = -1;   /* -1: the mask with the lowest penalty score; 0-7: that mask */
};

/* What Encode, TryEncode and the renderers report as failure. */
class MOSAIRE_CXX_API EncodeError : public std::runtime_error {
public:
    enum class Reason {
        DoesNotFit,     /* the message fits no version up to 40 at the level */
        InvalidOptions, /* level, version or mask out of range */
        InvalidRender,  /* scale < 1, border < 0, or a picture edge beyond 32,767 pixels */
    };
    EncodeError(Reason reason, const std::string& what);
    ~EncodeError() override;
    Reason reason() const noexcept { return reason_; }

private:
    Reason reason_;
};

/* One finished symbol: size() x size() modules in the usual orientation
   (finder patterns top-left, top-right and bottom-left), row 0 at the top. */
class Matrix {
public:
    int size() const noexcept { return size_; }
    int version() const noexcept { return version_; }
    Level level() const noexcept { return level_; }
    int mask() const noexcept { return mask_; }
    /* Whether the module at (row, col) is dark; false outside the symbol. */
    bool dark(int row, int col) const noexcept {
        return row >= 0 && col >= 0 && row < size_ && col < size_ &&
               modules_[static_cast<std::size_t>(row) * static_cast<std::size_t>(size_) +
                        static_cast<std::size_t>(col)] != 0;
    }
    /* The modules row by row, size() * size() bytes, 1 dark and 0 light. */
    const std::vector<std::uint8_t>& modules() const noexcept { return modules_; }

private:
    friend class MatrixMaker;
    Matrix() = default;
    int size_ = 0;
    int version_ = 0;
    Level level_ = Level::M;
    int mask_ = 0;
    std::vector<std::uint8_t> modules_;
};

/* Encodes the bytes as one symbol. Throws EncodeError: DoesNotFit when the
   message is too long for version 40 at the level, InvalidOptions when the
   level, version or mask is out of range. The message may hold any byte,
   zero included. */
MOSAIRE_CXX_API Matrix Encode(std::span<const std::uint8_t> message, const EncodeOptions& options = {});
MOSAIRE_CXX_API Matrix Encode(std::string_view message, const EncodeOptions& options = {});

/* The same without EncodeError: an empty result, with the reason in *why when
   why is not null. */
MOSAIRE_CXX_API std::optional<Matrix> TryEncode(std::span<const std::uint8_t> message,
                                                const EncodeOptions& options = {}, EncodeError::Reason* why = nullptr);
MOSAIRE_CXX_API std::optional<Matrix> TryEncode(std::string_view message, const EncodeOptions& options = {},
                                                EncodeError::Reason* why = nullptr);

/*
 * Renderers. Each draws the symbol with a quiet zone of `border` modules on
 * every side, `scale` pixels per module (1 or more): a picture of
 * (size() + 2 * border) * scale pixels square, at most 32,767. Out-of-range
 * arguments throw EncodeError (InvalidRender).
 */

/* 8-bit grey pixels row by row from the top, 0 for dark and 255 for light. */
MOSAIRE_CXX_API std::vector<std::uint8_t> ToGrey(const Matrix& matrix, int scale = 4, int border = 4);

/* An SVG document: a white rectangle and one black path of the dark modules,
   drawn in module units (viewBox), width and height in pixels as above. */
MOSAIRE_CXX_API std::string ToSvg(const Matrix& matrix, int scale = 4, int border = 4);

/* UTF-8 text for a terminal, two module rows per line with the half-block
   characters U+2580, U+2584 and U+2588 for dark and a space for light, each
   line ending in '\n' (scale does not apply; the border is in modules). For a
   terminal showing light text on a dark background, invert the colours. */
MOSAIRE_CXX_API std::string ToText(const Matrix& matrix, int border = 2);

/* A BMP file, 1 bit per pixel, black on white (the C interface's BMP writer). */
MOSAIRE_CXX_API std::vector<std::uint8_t> ToBmp(const Matrix& matrix, int scale = 4, int border = 4);

/* A placeable WMF file, one pixel one logical unit at the screen's
   resolution (96 dots per inch without a display): a white background and one
   black rectangle per horizontal run of dark modules (the C interface's WMF
   writer). */
MOSAIRE_CXX_API std::vector<std::uint8_t> ToWmf(const Matrix& matrix, int scale = 4, int border = 4);

}  // namespace mosaire

#endif /* MOSAIRE_ENCODER_HPP */
