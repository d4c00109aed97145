// Turning the module matrix into pixels: module size from a resolution,
// centring, the four orientations, background and dark modules, the frame;
// and the size queries that report what such a drawing measures.
#pragma once

#include <cstdint>

#include "encode_symbol.h"
#include "gdi/device_context.h"
#include "settings.h"

namespace mosaire {

// Module edge in pixels for a resolution in dots per inch: the width in
// inches times dpi, truncated, plus one when the dropped fraction exceeds 0.5.
int32_t ModulePixelsFor(double dpi, float moduleWidthCm);

// Where the resolution comes from.
enum class ResolutionRule {
    kCallerContext,  // drawing on a caller's context and size queries
    kOutputSurface,  // drawing on a surface the library made; 0 falls back to the screen
};
int DrawingResolution(const platform::DeviceContext& dc, int orientation, ResolutionRule rule);

// Module edge in pixels for the settings' module width on dc (0 for a width
// of 0, as the record holds before the first Appearance or SetDefault).
int32_t ModulePixels(const EncoderSettings& s, const platform::DeviceContext& dc, ResolutionRule rule);

// Placement of one symbol of n modules of m pixels in the target rectangle.
struct SymbolLayout {
    int64_t n = 0, m = 0, edge = 0;  // edge = n * m
    int64_t width = 0, height = 0;   // target rectangle
    int64_t offX = 0, offY = 0;      // (width - edge) / 2, (height - edge) / 2
    int orientation = 0;
};
SymbolLayout MakeLayout(const EncoderSettings& s, int n, int32_t modulePixels);

// Top-left pixel of matrix module (row r, column k), relative to the
// rectangle's origin.
struct PixelPos {
    int64_t x, y;
};
PixelPos ModulePosition(const SymbolLayout& layout, int r, int k);

// Frame style 1 (dashes) or 2 (solid lines) along the rectangle's edges,
// with the context's current pen; 0 draws nothing.
void DrawFrame(platform::DeviceContext& dc, int64_t x0, int64_t y0, int64_t width, int64_t height, int style);

// Encodes the current message and draws it at (x0, y0). Nothing is painted
// when the message cannot be encoded; returns whether it was drawn.
bool DrawSymbol(const EncoderSettings& s, platform::DeviceContext& dc, int64_t x0, int64_t y0, ResolutionRule rule);

// Draws on a caller's context in the text mapping mode, restoring the
// context's mode afterwards.
void Render(const EncoderSettings& s, platform::DeviceContext& dc, int64_t x0, int64_t y0);

// Symbol edge in device pixels as drawn on dc (0 when the message cannot be
// encoded).
int32_t ActualSize(const EncoderSettings& s, const platform::DeviceContext& dc);

// Modules per side (0 when the message cannot be encoded).
int16_t ActualModules(const EncoderSettings& s);

}  // namespace mosaire
