#include "drawing.h"

#include <algorithm>
#include <cmath>

#include "gdi/screen.h"

namespace mosaire {

namespace {

constexpr double kInchesPerCm = 0.39370078740157477;

// Dashes further than this along an edge can show on no device; they are
// skipped (only their draw/gap alternation is kept).
constexpr int64_t kVisibleDashReach = int64_t{1} << 17;

int ToDevice(int64_t v) { return static_cast<int>(std::clamp<int64_t>(v, INT32_MIN, INT32_MAX)); }

void Fill(platform::DeviceContext& dc, int64_t x0, int64_t y0, int64_t x1, int64_t y1, platform::ColorRef color) {
    dc.FillRect(ToDevice(x0), ToDevice(y0), ToDevice(x1), ToDevice(y1), color);
}

void Line(platform::DeviceContext& dc, int64_t x0, int64_t y0, int64_t x1, int64_t y1) {
    dc.Line(ToDevice(x0), ToDevice(y0), ToDevice(x1), ToDevice(y1));
}

// One pass of dashes over an edge of `length` pixels; `draw` carries the
// draw/gap alternation from one pass to the next. emit(start, end) draws a
// dash from start to end (exclusive), both relative to the edge's start.
template <typename Emit>
void Dashes(int64_t length, bool& draw, Emit emit) {
    const int64_t steps = std::max<int64_t>(length / 4, 0);
    const int64_t shown = std::min(steps, kVisibleDashReach / 4);
    for (int64_t t = 0; t < shown; ++t, draw = !draw) {
        if (!draw) continue;
        const int64_t start = 4 * t;
        int64_t end = std::min(start + 4, length - 1);
        if (end + 4 > length - 1) end = length - 1;
        emit(start, end);
    }
    if ((steps - shown) % 2 != 0) draw = !draw;
}

}  // namespace

int32_t ModulePixelsFor(double dpi, float moduleWidthCm) {
    const double exact = dpi * static_cast<double>(moduleWidthCm) * kInchesPerCm;
    if (!(exact < 2147483647.0)) return exact > 0 ? INT32_MAX : 0;  // huge or NaN
    if (!(exact > -2147483648.0)) return INT32_MIN;
    int32_t m = static_cast<int32_t>(exact);
    if (exact - m > 0.5) ++m;
    return m;
}

int DrawingResolution(const platform::DeviceContext& dc, int orientation, ResolutionRule rule) {
    const bool turned = orientation == 0 || orientation == 2;
    if (rule == ResolutionRule::kCallerContext) return turned ? dc.ResolutionY() : dc.ResolutionX();
    if (turned) {
        const int r = dc.ResolutionX();
        return r != 0 ? r : platform::kScreenDpi;
    }
    const int r = dc.ResolutionY();
    return r != 0 ? r : platform::kScreenDpi;
}

int32_t ModulePixels(const EncoderSettings& s, const platform::DeviceContext& dc, ResolutionRule rule) {
    if (s.moduleWidthCm == 0.0f) return 0;
    return ModulePixelsFor(DrawingResolution(dc, s.orientation, rule), s.moduleWidthCm);
}

SymbolLayout MakeLayout(const EncoderSettings& s, int n, int32_t modulePixels) {
    SymbolLayout l;
    l.n = n;
    l.m = modulePixels;
    l.edge = l.n * l.m;
    l.width = s.width;
    l.height = s.height;
    l.offX = (l.width - l.edge) / 2;  // C++ division truncates toward zero
    l.offY = (l.height - l.edge) / 2;
    l.orientation = s.orientation;
    return l;
}

PixelPos ModulePosition(const SymbolLayout& l, int r, int k) {
    switch (l.orientation) {
        case 1:
            return {l.offX + k * l.m, (l.height - l.offY - l.edge) + r * l.m};
        case 2:
            return {(l.width - l.offX - l.edge) + r * l.m, l.offY + (l.n - 1 - k) * l.m};
        case 3:
            return {l.offX + (l.n - 1 - k) * l.m, l.offY + (l.n - 1 - r) * l.m};
        default:
            return {l.offX + (l.n - 1 - r) * l.m, l.offY + k * l.m};
    }
}

void DrawFrame(platform::DeviceContext& dc, int64_t x0, int64_t y0, int64_t width, int64_t height, int style) {
    const int64_t right = x0 + width - 1, bottom = y0 + height - 1;
    if (style == 2) {
        Line(dc, x0, y0, right, y0);
        Line(dc, right, y0, right, bottom);
        Line(dc, right, bottom, x0, bottom);
        Line(dc, x0, bottom, x0, y0);
        return;
    }
    if (style != 1) return;
    bool draw = true;
    Dashes(width, draw, [&](int64_t a, int64_t b) {
        Line(dc, x0 + a, y0, x0 + b, y0);
        Line(dc, x0 + a, bottom, x0 + b, bottom);
    });
    Dashes(height, draw, [&](int64_t a, int64_t b) {
        Line(dc, x0, y0 + a, x0, y0 + b);
        Line(dc, right, y0 + a, right, y0 + b);
    });
}

bool DrawSymbol(const EncoderSettings& s, platform::DeviceContext& dc, int64_t x0, int64_t y0, ResolutionRule rule) {
    const int32_t modulePixels = ModulePixels(s, dc, rule);
    const EncodedSymbol symbol = EncodeSymbol(s);
    if (symbol.DoesNotFit()) return false;
    const ModuleMatrix* matrix = symbol.matrix.get();
    Fill(dc, x0, y0, x0 + s.width, y0 + s.height, s.backColor);
    const SymbolLayout layout = MakeLayout(s, matrix->side, modulePixels);
    for (int k = 0; k < matrix->side; ++k) {
        for (int r = matrix->side - 1; r >= 0; --r) {
            if (matrix->value[r][k] != 1) continue;
            const PixelPos p = ModulePosition(layout, r, k);
            Fill(dc, x0 + p.x, y0 + p.y, x0 + p.x + layout.m, y0 + p.y + layout.m, s.barColor);
        }
    }
    DrawFrame(dc, x0, y0, s.width, s.height, s.frameStyle);
    return true;
}

void Render(const EncoderSettings& s, platform::DeviceContext& dc, int64_t x0, int64_t y0) {
    const int previous = dc.SetMapMode(platform::kMapModeText);
    struct Restore {
        platform::DeviceContext& dc;
        int mode;
        ~Restore() { dc.SetMapMode(mode); }
    } restore{dc, previous};
    DrawSymbol(s, dc, x0, y0, ResolutionRule::kCallerContext);
}

int32_t ActualSize(const EncoderSettings& s, const platform::DeviceContext& dc) {
    const int32_t modulePixels = ModulePixels(s, dc, ResolutionRule::kCallerContext);
    const EncodedSymbol symbol = EncodeSymbol(s);
    if (symbol.DoesNotFit()) return 0;
    const int64_t edge = int64_t{symbol.matrix->side} * modulePixels;
    return static_cast<int32_t>(std::clamp<int64_t>(edge, INT32_MIN, INT32_MAX));
}

int16_t ActualModules(const EncoderSettings& s) {
    const EncodedSymbol symbol = EncodeSymbol(s);
    return symbol.DoesNotFit() ? int16_t{0} : static_cast<int16_t>(symbol.matrix->side);
}

}  // namespace mosaire
