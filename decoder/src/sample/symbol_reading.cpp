// Track placement per version range and the reading attempts of one
// candidate.
#include "common/qr_tables.h"
#include "geometry.h"
#include "module_sampling.h"

namespace lectavo {

namespace {

// Bottom-right module centre of a version 2-6 symbol: the alignment centre
// (S-7, S-7) is predicted, refined, and the row and column through it are
// extended to the last column and row.
bool EstimateFromAlignment(SymbolSearch& search, PointF& bottomRight) {
    ReadingArea& area = search.reading;
    const int last = area.side - 1;
    const int p = area.side - 7;
    PointF centre;
    if (!IntersectLines(area.rowTrack[0][p], area.rowTrack[1][p], area.columnTrack[0][p], area.columnTrack[1][p],
                        centre))
        return false;
    RefineAlignmentCentre(search, centre);
    area.rowTrack[2][0] = area.columnTrack[0][p];
    area.rowTrack[2][p] = centre;
    ExtrapolateTrack(RowTrackOf(area, 2), 0, p, last);
    area.columnTrack[2][0] = area.rowTrack[0][p];
    area.columnTrack[2][p] = centre;
    ExtrapolateTrack(ColumnTrackOf(area, 2), 0, p, last);
    return IntersectLines(area.rowTrack[0][last], area.rowTrack[2][last], area.columnTrack[0][last],
                          area.columnTrack[2][last], bottomRight);
}

// Turns track 1 of both families into the far edge: row S-1 and column S-1
// ending in the bottom-right module centre.
void MakeFarEdges(ReadingArea& area, PointF bottomRight) {
    const int last = area.side - 1;
    area.rowTrack[1][0] = area.columnTrack[0][last];
    area.columnTrack[1][0] = area.rowTrack[0][last];
    area.rowTrack[1][last] = area.columnTrack[1][last] = bottomRight;
    InterpolateTrack(RowTrackOf(area, 1), 0, last);
    InterpolateTrack(ColumnTrackOf(area, 1), 0, last);
}

// Outer bottom-right corner: half a module beyond the last module centre,
// from the last row and column tracks.
void SetBottomRightCorner(ReadingArea& area, int track) {
    const int last = area.side - 1;
    const PointF r = area.rowTrack[track][last], rPrev = area.rowTrack[track][last - 1];
    const PointF c = area.columnTrack[track][last], cPrev = area.columnTrack[track][last - 1];
    area.bottomRight[0] = RoundPixel(r.x + 0.5f * (r.x - rPrev.x));
    area.bottomRight[1] = RoundPixel(r.y + 0.5f * (c.y - cPrev.y));
}

}  // namespace

int PlaceSymbolTracks(SymbolSearch& search, const SymbolCandidate& candidate, int anchors[kMaxTracks]) {
    const int version = candidate.version;
    if (version < 1 || version > 40) return 0;
    ReadingArea& area = search.reading;
    area.side = 4 * version + 17;
    SetPitchModel(area, candidate);
    PlaceInitialAnchors(area, candidate);

    if (version >= 7) {
        AnchorTimingAlignments(search, candidate);
        BuildAlignmentGrid(search, candidate);
        SetBottomRightCorner(area, qrcommon::kAlignment[version].count + 1);
        return AnchorList(version, anchors);
    }

    const int last = area.side - 1;
    PointF bottomRight;
    if (version == 1) {
        if (!IntersectLines(area.rowTrack[0][last], area.rowTrack[1][last], area.columnTrack[0][last],
                            area.columnTrack[1][last], bottomRight))
            return 0;
    } else if (!EstimateFromAlignment(search, bottomRight)) {
        return 0;
    }
    MakeFarEdges(area, bottomRight);
    SetBottomRightCorner(area, 1);
    return AnchorList(version, anchors);
}

bool ReadSymbol(SymbolSearch& search, const SymbolCandidate& candidate) {
    int anchors[kMaxTracks];
    const int count = PlaceSymbolTracks(search, candidate, anchors);
    if (count == 0) return false;
    const auto attempt = [&] { return ReadingAttempt(search, candidate, anchors, count); };
    if (candidate.version >= 7) return attempt();
    return TryBottomRightOffsets(search.reading, attempt);
}

}  // namespace lectavo
