// Module-centre tracks of the reading stage: the growing-pitch model measured
// on the finder corners, interpolation and extrapolation along a track, and
// the initial anchors placed from the three finders.
#pragma once

#include "core/located_symbol.h"
#include "core/point.h"
#include "core/sampled_grid.h"

namespace lectavo {

// One seventh as the single-precision constant the pitch growth uses (the
// module vectors and half first steps divide by 7 instead).
inline constexpr float kOneSeventh = 0.14285715f;

inline constexpr int kMaxTracks = 9;

// Where the module centres of the symbol being read lie in the plane. A row
// track holds the centres along one module row (one point per column), a
// column track those along one module column (one point per row). Tracks 0
// and 1 start as the first row (column) and row (column) 6; versions 7-40
// add one track per alignment coordinate.
struct ReadingArea {
    int32_t side = 0;     // 4 * version + 17
    PointF rowGrowth;     // how much the step along a row track grows per module
    PointF columnGrowth;  // the same along a column track
    PointF u, v;          // one module right / down, from the top-left finder
    // Pixel reach of one module along u and v (|trunc x| + |trunc y|), the
    // search radius when centring on a dark run.
    float runU = 0.0f, runV = 0.0f;
    PointF rowTrack[kMaxTracks][kMaxSide];
    PointF columnTrack[kMaxTracks][kMaxSide];
    int32_t bottomRight[2] = {0, 0};  // estimated outer corner, pixels
};

// One track with the growth of its step per module.
struct Track {
    PointF* points;
    PointF growth;
};

inline Track RowTrackOf(ReadingArea& area, int k) { return {area.rowTrack[k], area.rowGrowth}; }
inline Track ColumnTrackOf(ReadingArea& area, int k) { return {area.columnTrack[k], area.columnGrowth}; }

// T(m) = m (m + 1) / 2, also for negative m.
inline float Triangular(int m) { return static_cast<float>(m) * static_cast<float>(m + 1) * 0.5f; }

// Sets every point strictly between a and b so that the step grows by the
// track's growth per module and both ends are met. Nothing happens unless
// 0 <= a < b < kMaxSide.
void InterpolateTrack(Track track, int a, int b);

// Sets point e from the mean step between a and b plus the growth term
// T(e - b); e may lie on either side. Ignored for a == b or indices outside
// the track.
void ExtrapolateTrack(Track track, int a, int b, int e);

// Sets u, v, the row and column growth and the run reach from the finder
// corners; area.side must be set.
void SetPitchModel(ReadingArea& area, const LocatedSymbol& symbol);

// Places the module centres (0,0), (0,6), (6,0), (last,0), (last,6), (0,last)
// and (6,last) (last = side - 1) from the finder corners and interpolates tracks 0 and 1 of
// both families over the whole side.
void PlaceInitialAnchors(ReadingArea& area, const LocatedSymbol& symbol);

}  // namespace lectavo
