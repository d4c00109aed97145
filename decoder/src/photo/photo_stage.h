// The reader for photos and camera frames: finds symbols under perspective,
// uneven light, blur, inversion and mirroring, and hands each one over as a
// sampled grid. Decoding the grid is the caller's business.
#pragma once

#include <functional>
#include <vector>

#include "core/point.h"
#include "photo/grey_view.h"
#include "core/sampled_grid.h"

namespace lectavo::photo {

// Decodes one candidate grid; true when it read, which ends the
// alternatives for that symbol.
using GridTrial = std::function<bool(const SampledGrid&, const Quad&)>;

// What the caller made of a grid: not read (try the next alternative), read
// as a new symbol, or read as a symbol the caller already holds (its finders
// are passed over from then on, but it does not count toward the limit).
enum class GridVerdict { kUnread, kRead, kAlreadyHeld };
using SymbolTrial = std::function<GridVerdict(const SampledGrid&, const Quad&)>;

// Finder candidates left unread with modules narrower than this (pixels)
// hint at symbols small enough that a copy at twice the size may read them.
inline constexpr float kNarrowModule = 5.0f;

// The most symbols one run reads; the decoder's interface asks for at most 32.
inline constexpr int kMaxPhotoSymbols = 256;

// A symbol the caller holds, in picture pixels: its outline (corners in
// order around it) and its module size.
struct HeldSymbol {
    Quad outline;
    float module = 0;
};
// The mean module size of a symbol of `side` modules with this outline.
float OutlineModule(const Quad& outline, int side);

// Tries each symbol it finds, strongest first, with its alternatives
// (mirrored, neighbouring versions when the version is only estimated).
// Stops after `symbolLimit` symbols (at most kMaxPhotoSymbols) were read; returns how many
// were read. Work is bounded by counts of candidates, triples and attempts.
// `narrowUnread`, when given and the limit was not reached, receives the
// centres of the finder candidates with modules narrower than kNarrowModule
// pixels the full-size plane left unread (else it is emptied).
// Finder candidates inside a symbol in `held`, or inside one read here, with
// modules of about its size are made of its modules (its own finders, or
// data that looks like one) and are passed over.
int RunPhotoStage(const GreyView& grey, int symbolLimit, const SymbolTrial& tryGrid,
                  std::vector<PointF>* narrowUnread = nullptr, std::vector<HeldSymbol> held = {});
// As above, every grid that reads counting as a new symbol.
int RunPhotoStage(const GreyView& grey, int symbolLimit, const GridTrial& tryGrid);

}  // namespace lectavo::photo
