// Finder-pattern scan: sampled rows and columns, 1:1:3:1:1 run cross-checks,
// position refinement and de-duplication.
#pragma once

#include <vector>

#include "core/binary_plane.h"
#include "core/located_symbol.h"
#include "locate/row_runs.h"

namespace lectavo {

// Six pixel coordinates along one scan line: outer dark run e0-e1, light
// e1-e2, centre dark e2-e3, light e3-e4, outer dark e4-e5.
struct RunEdges {
    int e[6] = {};
    // Middle of the whole pattern (not of its centre run).
    float Centre() const { return static_cast<float>(e[0]) + 0.5f * static_cast<float>(e[5] - e[0]); }
};

// Cross-check along row y through column x (vertical: along column x
// through row y). True when the runs have finder proportions.
bool CrossCheckHorizontal(const BinaryPlane& plane, int x, int y, RunEdges& edges);
bool CrossCheckVertical(const BinaryPlane& plane, int x, int y, RunEdges& edges);

// The horizontal cross-check through any pixel of run k of a row's runs:
// the same edges and result as CrossCheckHorizontal, without the walk.
// False when run k is light.
bool CrossCheckRun(const RowRuns& runs, int k, RunEdges& edges);

// Scans the plane with a step of 2 * max(1, minModuleSize / stepDivisor)
// pixels, appending finder patterns to `finders` (at most kMaxFinders);
// returns their number.
int FinderScan(const BinaryPlane& plane, int minModuleSize, int stepDivisor, std::vector<FinderPattern>& finders);

}  // namespace lectavo
