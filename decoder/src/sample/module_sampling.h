// Sampling one located symbol: alignment-centre refinement and the reading
// of every encoding-region module at the crossing of its row and column
// tracks.
#pragma once

#include <cstdint>
#include <vector>

#include "common/symbol_layout.h"
#include "core/binary_plane.h"
#include "core/geometry.h"
#include "core/sampled_grid.h"
#include "sample/tracks.h"

namespace lectavo {

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

inline bool IsDarkAt(const BinaryPlane& plane, PointF p) { return plane.Pixel(RoundPixel(p.x), RoundPixel(p.y)) != 0; }

// Moves `point` to the nearest position (in a 49-step spiral of half-module
// offsets) that looks like a one-module dark centre inside a light ring and
// centres it on the dark run; leaves it unchanged when nothing qualifies.
void RefineAlignmentCentre(const BinaryPlane& plane, const ReadingArea& area, PointF& point);

// Module coordinates that bound the track pairs: {0, side} for versions 1-6,
// {0, 6, the other alignment coordinates, side} otherwise. Returns the
// number of entries.
int AnchorList(int version, int anchors[kMaxTracks]);

// The lines of one band, one a module index, kept field by field so that
// the sampler can work four neighbouring lines at once: line k is
// y = slope[k] x + offset[k], or x = at[k] where vertical[k] (as Line).
// Lines kept per band: kMaxSide rounded up to whole groups of four, so that
// the sampler may read a last group of four past the side (and ignore it).
inline constexpr int kLineLanes = (kMaxSide + 3) / 4 * 4;

struct LineBand {
    float slope[kLineLanes] = {};
    float offset[kLineLanes] = {};
    float at[kLineLanes] = {};
    int32_t vertical[kLineLanes] = {};  // 0 or -1 (all bits set), as wide as the floats

    void Set(int k, const Line& line) {
        slope[k] = line.slope;
        offset[k] = line.offset;
        at[k] = line.at;
        vertical[k] = line.vertical ? -1 : 0;
    }
    Line Get(int k) const {
        Line line;
        line.vertical = vertical[k] != 0;
        line.slope = slope[k];
        line.offset = offset[k];
        line.at = at[k];
        return line;
    }
};

// The lines every module is sampled on, made once per set of tracks: the
// line between row tracks j and j + 1 at column x, the line between column
// tracks i and i + 1 at row y, and the anchor band of each index.
struct TrackLines {
    LineBand row[kMaxTracks];     // [band j], line at column x
    LineBand column[kMaxTracks];  // [band i], line at row y
    uint8_t band[kMaxSide];
};

void MakeTrackLines(const ReadingArea& area, const int* anchors, int anchorCount, TrackLines& lines);

// Samples every encoding-region module of `grid` (side grid.side) at the
// crossing of the line between the neighbouring row tracks and the line
// between the neighbouring column tracks; degenerate crossings and function
// modules read as light.
void SampleModules(const BinaryPlane& plane, const TrackLines& lines, const qrcommon::FunctionMap& functions,
                   SampledGrid& grid);

// Samples the listed modules (row * side + column, in increasing order) of
// `grid` exactly as SampleModules samples them; the list holds no function
// modules.
void SampleModuleList(const BinaryPlane& plane, const TrackLines& lines, const std::vector<uint16_t>& modules,
                      SampledGrid& grid);

}  // namespace lectavo
