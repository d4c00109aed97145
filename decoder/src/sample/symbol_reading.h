// Reading one located symbol: the tracks placed for its version range, the
// modules sampled into a grid and the grid decoded, with the bottom-right
// corner tries of versions 1-6.
#pragma once

#include "common/symbol_layout.h"
#include "core/binary_plane.h"
#include "core/grid_trial.h"
#include "core/located_symbol.h"
#include "core/sampled_grid.h"
#include "sample/module_sampling.h"
#include "sample/tracks.h"

namespace lectavo {

// Bound of one decode call on reading attempts: 32 symbols that each needed
// all 81 tries. Without it a crafted picture gives hundreds of false
// candidates 81 attempts each, on each of up to ten planes.
inline constexpr int kMaxReadingAttempts = 32 * 81;

// The working values of one symbol reading, reused from symbol to symbol
// (and made once per decode call, so the attempt count spans the call).
struct SymbolReading {
    ReadingArea area;
    qrcommon::FunctionMap functions;
    TrackLines lines;
    SampledGrid grid;
    int attemptsLeft = kMaxReadingAttempts;
};

// Places all tracks of the symbol (initial anchors, then the bottom-right
// estimate for versions 1-6 or the alignment grid for 7-40) and the
// bottom-right corner field. Returns the anchor count, 0 when the geometry
// is degenerate.
int PlaceSymbolTracks(const BinaryPlane& plane, ReadingArea& area, const LocatedSymbol& symbol,
                      int anchors[kMaxTracks]);

// Offsets, in modules, tried around the estimated bottom-right centre.
inline constexpr float kCornerOffsets[9] = {0.0f, 0.5f, -0.5f, 1.0f, -1.0f, 1.5f, -1.5f, 2.0f, -2.0f};

// Runs `attempt` with the tracks as they are and then with the bottom-right
// module centre moved by offset[a] u + offset[b] v (a outer, b inner), until
// one succeeds. Track 1 of both families must be the far edge.
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

// Places the tracks and runs the attempts (one for versions 7-40, up to 81
// for versions 1-6), each sampling the grid and handing it to `trial`; an
// attempt ends the reading once the trial says the codewords could be
// corrected. Where the symbol has more than one block and `check` is given,
// an attempt samples the first block's modules first and stops when that
// block cannot be corrected, as the trial would. Returns the status of the
// last attempt, kUnread when no attempt could be made.
TrialStatus ReadSymbol(const BinaryPlane& plane, const LocatedSymbol& symbol, SymbolReading& reading,
                       const FirstBlockCheck& check, const GridTrial& trial);

}  // namespace lectavo
