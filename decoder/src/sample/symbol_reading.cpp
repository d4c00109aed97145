#include "sample/symbol_reading.h"

#include "common/qr_tables.h"
#include "core/geometry.h"
#include "sample/alignment_grid.h"
#include "sample/module_sampling.h"

namespace lectavo {

namespace {

// Bottom-right module centre of a version 2-6 symbol: the alignment centre
// (side - 7, side - 7) is predicted, refined, and the row and column through it are
// extended to the last column and row.
bool EstimateFromAlignment(const BinaryPlane& plane, ReadingArea& area, PointF& bottomRight) {
    const int last = area.side - 1;
    const int p = area.side - 7;
    PointF centre;
    if (!IntersectLines(area.rowTrack[0][p], area.rowTrack[1][p], area.columnTrack[0][p], area.columnTrack[1][p],
                        centre))
        return false;
    RefineAlignmentCentre(plane, area, centre);
    area.rowTrack[2][0] = area.columnTrack[0][p];
    area.rowTrack[2][p] = centre;
    ExtrapolateTrack(RowTrackOf(area, 2), 0, p, last);
    area.columnTrack[2][0] = area.rowTrack[0][p];
    area.columnTrack[2][p] = centre;
    ExtrapolateTrack(ColumnTrackOf(area, 2), 0, p, last);
    return IntersectLines(area.rowTrack[0][last], area.rowTrack[2][last], area.columnTrack[0][last],
                          area.columnTrack[2][last], bottomRight);
}

// Turns track 1 of both families into the far edge: the last row and column
// ending in the bottom-right module centre.
void MakeFarEdges(ReadingArea& area, PointF bottomRight) {
    const int last = area.side - 1;
    area.rowTrack[1][0] = area.columnTrack[0][last];
    area.columnTrack[1][0] = area.rowTrack[0][last];
    area.rowTrack[1][last] = area.columnTrack[1][last] = bottomRight;
    InterpolateTrack(RowTrackOf(area, 1), 0, last);
    InterpolateTrack(ColumnTrackOf(area, 1), 0, last);
}

// Outer bottom-right corner: half a module beyond the last module centre
// along the last row and half a module along the last column. Both steps are
// taken as whole vectors, so the corner is outside the symbol whichever way
// the picture is turned (upright, the row step has no y part and the column
// step no x part).
void SetBottomRightCorner(ReadingArea& area, int track) {
    const int last = area.side - 1;
    const PointF r = area.rowTrack[track][last], rPrev = area.rowTrack[track][last - 1];
    const PointF c = area.columnTrack[track][last], cPrev = area.columnTrack[track][last - 1];
    area.bottomRight[0] = RoundPixel(r.x + 0.5f * (r.x - rPrev.x) + 0.5f * (c.x - cPrev.x));
    area.bottomRight[1] = RoundPixel(r.y + 0.5f * (r.y - rPrev.y) + 0.5f * (c.y - cPrev.y));
}

}  // namespace

int PlaceSymbolTracks(const BinaryPlane& plane, ReadingArea& area, const LocatedSymbol& symbol,
                      int anchors[kMaxTracks]) {
    const int version = symbol.version;
    if (!qrcommon::ValidVersion(version)) return 0;
    area.side = qrcommon::SymbolSide(version);
    SetPitchModel(area, symbol);
    PlaceInitialAnchors(area, symbol);

    if (version >= 7) {
        AnchorTimingAlignments(plane, area);
        BuildAlignmentGrid(plane, area);
        SetBottomRightCorner(area, qrcommon::kAlignment[version].count + 1);
        return AnchorList(version, anchors);
    }

    const int last = area.side - 1;
    PointF bottomRight;
    if (version == 1) {
        if (!IntersectLines(area.rowTrack[0][last], area.rowTrack[1][last], area.columnTrack[0][last],
                            area.columnTrack[1][last], bottomRight))
            return 0;
    } else if (!EstimateFromAlignment(plane, area, bottomRight)) {
        return 0;
    }
    MakeFarEdges(area, bottomRight);
    SetBottomRightCorner(area, 1);
    return AnchorList(version, anchors);
}

TrialStatus ReadSymbol(const BinaryPlane& plane, const LocatedSymbol& symbol, SymbolReading& reading,
                       const FirstBlockCheck& check, const GridTrial& trial) {
    int anchors[kMaxTracks];
    const int count = PlaceSymbolTracks(plane, reading.area, symbol, anchors);
    if (count == 0) return TrialStatus::kUnread;
    qrcommon::BuildFunctionMap(symbol.version, reading.functions);
    SampledGrid& grid = reading.grid;
    grid.side = reading.area.side;
    grid.version = symbol.version;
    grid.level = symbol.level;
    grid.mask = symbol.mask;
    const qrcommon::BlockRow& blocks = qrcommon::kBlockTable[grid.version][grid.level & 3];
    const bool firstBlockAlone =
        check.modules && check.correctable && grid.level >= 0 && grid.level <= 3 && blocks.blocks1 + blocks.blocks2 > 1;
    const std::vector<uint16_t>* firstBlock = firstBlockAlone ? &check.modules(grid.version, grid.level) : nullptr;
    TrialStatus status = TrialStatus::kUnread;
    const auto attempt = [&] {
        if (reading.attemptsLeft <= 0) return true;  // the call's bound: no more tries, status stays failed
        --reading.attemptsLeft;
        MakeTrackLines(reading.area, anchors, count, reading.lines);
        if (firstBlock) {
            SampleModuleList(plane, reading.lines, *firstBlock, grid);
            if (!check.correctable(grid)) {
                status = TrialStatus::kUnread;
                return false;
            }
        }
        SampleModules(plane, reading.lines, reading.functions, grid);
        status = trial(grid);
        return status != TrialStatus::kUnread;
    };
    if (symbol.version >= 7)
        attempt();
    else
        TryBottomRightOffsets(reading.area, attempt);
    return status;
}

}  // namespace lectavo
