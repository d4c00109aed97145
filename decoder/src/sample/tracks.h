// Module-centre tracks of the reading stage: the growing-pitch model measured
// on the finder corners, interpolation and extrapolation along a track, and
// the initial anchors placed from the three finders.
#pragma once

#include "symbol_search.h"

namespace lectavo {

// One seventh as the single-precision constant the pitch growth uses (the
// module vectors and half first steps divide by 7 instead).
inline constexpr float kOneSeventh = 0.14285715f;

inline PointF operator+(PointF a, PointF b) { return {a.x + b.x, a.y + b.y}; }
inline PointF operator-(PointF a, PointF b) { return {a.x - b.x, a.y - b.y}; }
inline PointF operator*(PointF a, float s) { return {a.x * s, a.y * s}; }
inline PointF operator*(float s, PointF a) { return {a.x * s, a.y * s}; }
inline PointF operator/(PointF a, float s) { return {a.x / s, a.y / s}; }

// A row track (one point per column, step growing by a_r) or a column track
// (one point per row, step growing by a_c).
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

// Sets S, u, v, a_r, a_c, m_u and m_v from the candidate's finder corners.
void SetPitchModel(ReadingArea& area, const SymbolCandidate& candidate);

// Places the module centres (0,0), (0,6), (6,0), (S-1,0), (S-1,6), (0,S-1)
// and (6,S-1) from the finder corners and interpolates tracks 0 and 1 of
// both families over the whole side.
void PlaceInitialAnchors(ReadingArea& area, const SymbolCandidate& candidate);

}  // namespace lectavo
