// Reading one located symbol: alignment-centre refinement, the function
// pattern map, sampling of the data modules along the tracks, and the
// reading attempts (with the bottom-right corner tries of small versions).
#pragma once

#include "symbol_search.h"
#include "tracks.h"

namespace lectavo {

inline constexpr uint8_t kFunctionFlag = 0x10;

// Pixel index of a coordinate by truncation; values beyond +-1e9 and NaN
// are clamped to indices outside every plane instead of overflowing.
inline int TruncPixel(float c) {
    if (!(c > -1.0e9f)) return -1000000000;
    if (!(c < 1.0e9f)) return 1000000000;
    return static_cast<int>(c);
}

// Rounded pixel index: trunc(c + 0.499999), clamped like TruncPixel. The sum
// is formed in double: in float, c + 0.499999 rounds to the next integer for
// c >= 32, and an exact .5 would then round up instead of down.
inline int RoundPixel(float c) {
    const double r = static_cast<double>(c) + 0.499999;
    if (!(r > -1.0e9)) return -1000000000;
    if (!(r < 1.0e9)) return 1000000000;
    return static_cast<int>(r);
}

inline bool IsDarkAt(const SymbolSearch& search, PointF p) {
    return search.Pixel(RoundPixel(p.x), RoundPixel(p.y)) != 0;
}

// Moves `point` to the nearest position (in a 49-step spiral of half-module
// offsets) that looks like a one-module dark centre inside a light ring and
// centres it on the dark run; leaves it unchanged when nothing qualifies.
void RefineAlignmentCentre(const SymbolSearch& search, PointF& point);

// Clears the S x S grid and flags finder, separator, format, version,
// alignment and timing modules.
void MarkFunctionModules(ReadingArea& area, int version);

// Anchor list of the single or final attempt: {0, S} for versions 1-6,
// {0, 6, p_1 ... p_n, S} otherwise. Returns the number of entries.
int AnchorList(int version, int anchors[kMaxTracks]);

// Samples every non-function cell at the intersection of the column line
// between neighbouring row tracks and the row line between neighbouring
// column tracks; degenerate intersections read as light.
void SampleModules(const SymbolSearch& search, ReadingArea& area, const int* anchors, int anchorCount);

// Places all tracks of the candidate (initial anchors, then the bottom-right
// estimate for versions 1-6 or the alignment grid for 7-40) and the
// bottom-right corner field. Returns the anchor count, 0 when the geometry
// is degenerate.
int PlaceSymbolTracks(SymbolSearch& search, const SymbolCandidate& candidate, int anchors[kMaxTracks]);

// Mark, sample, unmask and extract the codewords once.
bool ReadingAttempt(SymbolSearch& search, const SymbolCandidate& candidate, const int* anchors, int anchorCount);

// Offsets, in modules, tried around the estimated bottom-right centre.
inline constexpr float kCornerOffsets[9] = {0.0f, 0.5f, -0.5f, 1.0f, -1.0f, 1.5f, -1.5f, 2.0f, -2.0f};

// Runs `attempt` with the tracks as they are and then with the bottom-right
// module centre moved by o[a] u + o[b] v (a outer, b inner), until one
// succeeds. Track 1 of both families must be the far edge.
template <typename Attempt>
bool TryBottomRightOffsets(ReadingArea& area, Attempt&& attempt) {
    const int last = area.side - 1;
    const PointF start = area.rowTrack[1][last];
    for (int a = 0; a < 9; ++a)
        for (int b = 0; b < 9; ++b) {
            if (a != 0 || b != 0) {
                const PointF corner = start + kCornerOffsets[a] * area.u + kCornerOffsets[b] * area.v;
                area.rowTrack[1][last] = area.columnTrack[1][last] = corner;
                InterpolateTrack(RowTrackOf(area, 1), 0, last);
                InterpolateTrack(ColumnTrackOf(area, 1), 0, last);
            }
            if (attempt()) return true;
        }
    return false;
}

// Places the tracks and runs the attempts: one for versions 7-40, up to 81
// for versions 1-6. True when the codewords were extracted.
bool ReadSymbol(SymbolSearch& search, const SymbolCandidate& candidate);

}  // namespace lectavo
