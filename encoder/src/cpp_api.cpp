// The C++ interface (mosaire/encoder.hpp): options checked, the encoder core
// called on the caller's bytes, and the symbol handed back or rendered. Works
// only on its arguments, never on the C interface's settings record.
#include <new>

#include "encode_symbol.h"
#include "gdi/raster_surface.h"
#include "mosaire/encoder.hpp"
#include "outputs.h"

namespace mosaire {

EncodeError::EncodeError(Reason reason, const std::string& what) : std::runtime_error(what), reason_(reason) {}
EncodeError::~EncodeError() = default;

class MatrixMaker {
public:
    static Matrix Make(const EncodedSymbol& symbol, Level level) {
        Matrix m;
        const ModuleMatrix& s = *symbol.matrix;
        m.size_ = s.side;
        m.version_ = symbol.version;
        m.level_ = level;
        m.mask_ = symbol.mask;
        m.modules_.resize(static_cast<size_t>(s.side) * static_cast<size_t>(s.side));
        for (int r = 0; r < s.side; ++r)
            for (int c = 0; c < s.side; ++c) m.modules_[static_cast<size_t>(r) * s.side + c] = s.value[r][c];
        return m;
    }
};

namespace {

using Reason = EncodeError::Reason;

const char* Describe(Reason reason) {
    switch (reason) {
        case Reason::DoesNotFit:
            return "mosaire: the message does not fit version 40 at this error-correction level";
        case Reason::InvalidOptions:
            return "mosaire: level must be L, M, Q or H, version 0-40, mask -1-7";
        case Reason::InvalidRender:
            break;
    }
    return "mosaire: scale must be at least 1, border at least 0, the picture at most 32767 pixels wide";
}

std::optional<Matrix> EncodeBytes(std::span<const uint8_t> message, const EncodeOptions& options, Reason& why) {
    const int level = static_cast<int>(options.level);
    if (level < 0 || level > 3 || options.version < 0 || options.version > 40 || options.mask < -1 ||
        options.mask > 7) {
        why = Reason::InvalidOptions;
        return std::nullopt;
    }
    const EncodedSymbol symbol = EncodeSymbol(message.data(), message.size(), options.version, level, options.mask + 1);
    if (symbol.DoesNotFit()) {
        why = Reason::DoesNotFit;
        return std::nullopt;
    }
    return MatrixMaker::Make(symbol, options.level);
}

std::span<const uint8_t> Bytes(std::string_view text) {
    return {reinterpret_cast<const uint8_t*>(text.data()), text.size()};
}

// Picture edge in pixels for the render arguments; throws when out of range.
int PictureEdge(const Matrix& matrix, int scale, int border) {
    const int64_t modules = int64_t{matrix.size()} + 2 * int64_t{border};
    if (scale < 1 || border < 0 || modules * scale > platform::RasterSurface::kMaxEdge)
        throw EncodeError(Reason::InvalidRender, Describe(Reason::InvalidRender));
    return static_cast<int>(modules * scale);
}

// Calls fill(left, top, right, bottom) in pixels for each horizontal run of
// dark modules, with the quiet zone and scale applied.
template <typename Fill>
void ForEachDarkRun(const Matrix& matrix, int scale, int border, Fill fill) {
    const int n = matrix.size();
    for (int r = 0; r < n; ++r) {
        for (int c = 0; c < n;) {
            if (!matrix.dark(r, c)) {
                ++c;
                continue;
            }
            int end = c;
            while (end < n && matrix.dark(r, end)) ++end;
            fill((border + c) * scale, (border + r) * scale, (border + end) * scale, (border + r + 1) * scale);
            c = end;
        }
    }
}

}  // namespace

Matrix Encode(std::span<const uint8_t> message, const EncodeOptions& options) {
    Reason why{};
    std::optional<Matrix> m = EncodeBytes(message, options, why);
    if (!m) throw EncodeError(why, Describe(why));
    return std::move(*m);
}

Matrix Encode(std::string_view message, const EncodeOptions& options) { return Encode(Bytes(message), options); }

std::optional<Matrix> TryEncode(std::span<const uint8_t> message, const EncodeOptions& options,
                                EncodeError::Reason* why) {
    Reason reason{};
    std::optional<Matrix> m = EncodeBytes(message, options, reason);
    if (!m && why != nullptr) *why = reason;
    return m;
}

std::optional<Matrix> TryEncode(std::string_view message, const EncodeOptions& options, EncodeError::Reason* why) {
    return TryEncode(Bytes(message), options, why);
}

std::vector<uint8_t> ToGrey(const Matrix& matrix, int scale, int border) {
    const int edge = PictureEdge(matrix, scale, border);
    std::vector<uint8_t> grey(static_cast<size_t>(edge) * static_cast<size_t>(edge), 255);
    ForEachDarkRun(matrix, scale, border, [&](int left, int top, int right, int bottom) {
        for (int y = top; y < bottom; ++y)
            std::fill(grey.begin() + static_cast<ptrdiff_t>(y) * edge + left,
                      grey.begin() + static_cast<ptrdiff_t>(y) * edge + right, uint8_t{0});
    });
    return grey;
}

std::string ToSvg(const Matrix& matrix, int scale, int border) {
    const int edge = PictureEdge(matrix, scale, border);
    const std::string units = std::to_string(matrix.size() + 2 * border);
    const std::string pixels = std::to_string(edge);
    std::string svg = "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n<svg xmlns=\"http://www.w3.org/2000/svg\" width=\"" +
                      pixels + "\" height=\"" + pixels + "\" viewBox=\"0 0 " + units + " " + units +
                      "\" shape-rendering=\"crispEdges\">\n<rect width=\"" + units + "\" height=\"" + units +
                      "\" fill=\"#fff\"/>\n<path fill=\"#000\" d=\"";
    ForEachDarkRun(matrix, 1, border, [&](int left, int top, int right, int) {
        const std::string run = std::to_string(right - left);
        svg += "M" + std::to_string(left) + " " + std::to_string(top) + "h" + run + "v1h-" + run + "z";
    });
    svg += "\"/>\n</svg>\n";
    return svg;
}

std::string ToText(const Matrix& matrix, int border) {
    PictureEdge(matrix, 1, border);
    const int first = -border, last = matrix.size() + border;  // module rows and columns first <= i < last
    std::string text;
    for (int r = first; r < last; r += 2) {
        for (int c = first; c < last; ++c) {
            const bool top = matrix.dark(r, c), bottom = r + 1 < last && matrix.dark(r + 1, c);
            text += top ? (bottom ? "\u2588" : "\u2580") : (bottom ? "\u2584" : " ");
        }
        text += '\n';
    }
    return text;
}

std::vector<uint8_t> ToBmp(const Matrix& matrix, int scale, int border) {
    const int edge = PictureEdge(matrix, scale, border);
    const auto surface = platform::RasterSurface::Create(edge, edge);  // white
    if (!surface) throw std::bad_alloc();
    ForEachDarkRun(matrix, scale, border, [&](int left, int top, int right, int bottom) {
        surface->FillRect(left, top, right, bottom, platform::kBlack);
    });
    std::vector<uint8_t> file = BmpFileBytes(*surface, 1);
    if (file.empty()) throw std::bad_alloc();
    return file;
}

std::vector<uint8_t> ToWmf(const Matrix& matrix, int scale, int border) {
    const int edge = PictureEdge(matrix, scale, border);
    return RecordWmfFile(edge, edge, [&](platform::DeviceContext& dc) {
        dc.FillRect(0, 0, edge, edge, platform::kWhite);
        ForEachDarkRun(matrix, scale, border, [&](int left, int top, int right, int bottom) {
            dc.FillRect(left, top, right, bottom, platform::kBlack);
        });
    });
}

}  // namespace mosaire
