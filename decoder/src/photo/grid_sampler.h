// Module coordinates to picture pixels, and the sampled grid read through
// that map. Coordinates are (column, row) in modules; module k spans [k, k+1].
#pragma once

#include <algorithm>
#include <array>

#include "photo/grey_view.h"
#include "photo/perspective_transform.h"
#include "core/sampled_grid.h"

namespace lectavo::photo {

// One homography for the whole symbol, or on large versions one per cell of
// the alignment pattern grid, so the sampling follows a sheet that is not
// quite flat; optionally with sub-module corrections on a regular lattice of
// module positions for a bent or creased sheet.
class ModuleMap {
public:
    ModuleMap() = default;
    explicit ModuleMap(const Homography& global) : global_(global) {}
    // `anchors` are the alignment coordinates (module indexes, ascending),
    // `points[i * count + j]` the picture position of the centre of anchor
    // (column anchors[j], row anchors[i]).
    void SetCells(const int* anchors, int count, const PointF* points);
    // `count` x `count` corrections in modules (count 2-12), the first at
    // module centre (0, 0) and the last at (side - 1, side - 1), evenly
    // spaced; `shifts[i * count + j]` is added to the module coordinates near
    // lattice column j, row i, and bilinearly between them.
    void SetShifts(int side, int count, const PointF* shifts);
    PointF Map(float column, float row) const;
    // Map of the points (t[k], fixed) when `alongRow`, else (fixed, t[k]),
    // for k < n with t ascending, into x[k] and y[k]: exactly what Map gives
    // each, but a stretch at a time where one homography covers it.
    void MapLine(const float* t, int n, float fixed, bool alongRow, float* x, float* y) const;
    const Homography& Global() const { return global_; }

    static constexpr int kMaxShiftLattice = 12;

private:
    static constexpr int kMaxAnchors = 7;
    // The alignment cell (row or column) holding module coordinate `v`.
    int Cell(float v) const;
    Homography global_;
    int count_ = 0;
    int anchors_[kMaxAnchors] = {};
    std::array<Homography, (kMaxAnchors - 1) * (kMaxAnchors - 1)> cells_{};
    int shiftCount_ = 0;
    float shiftSpacing_ = 1;
    std::array<PointF, kMaxShiftLattice * kMaxShiftLattice> shifts_{};
};

// Inline: every sample of every grid and edge walk goes through it.
inline PointF ModuleMap::Map(float column, float row) const {
    if (shiftCount_ >= 2) {
        const float last = static_cast<float>(shiftCount_ - 1);
        const float fu = std::clamp((column - 0.5f) / shiftSpacing_, 0.0f, last);
        const float fv = std::clamp((row - 0.5f) / shiftSpacing_, 0.0f, last);
        const int j = std::min(static_cast<int>(fu), shiftCount_ - 2),
                  i = std::min(static_cast<int>(fv), shiftCount_ - 2);
        const float tu = fu - j, tv = fv - i;
        const PointF* s = &shifts_[static_cast<size_t>(i) * shiftCount_ + j];
        const PointF* t = s + shiftCount_;
        column += (s[0].x * (1 - tu) + s[1].x * tu) * (1 - tv) + (t[0].x * (1 - tu) + t[1].x * tu) * tv;
        row += (s[0].y * (1 - tu) + s[1].y * tu) * (1 - tv) + (t[0].y * (1 - tu) + t[1].y * tu) * tv;
    }
    if (count_ < 2) return global_.Map(column, row);
    return cells_[Cell(row) * (kMaxAnchors - 1) + Cell(column)].Map(column, row);
}

inline int ModuleMap::Cell(float v) const {
    int k = 0;
    while (k + 2 < count_ && v >= anchors_[k + 1] + 0.5f) ++k;
    return k;
}

// Reads the plane at a picture position; outside counts as light. Inline:
// every sampling, edge walk and timing count calls it per point.
inline uint8_t SampleAt(const BinaryPicture& plane, PointF p) {
    if (!(p.x >= 0 && p.y >= 0 && p.x < plane.width && p.y < plane.height)) return 0;
    return plane.bits[static_cast<size_t>(p.y) * plane.width + static_cast<size_t>(p.x)];
}

// What SampleAt reads at the points of a module line (as ModuleMap::MapLine
// takes them) into bits[k].
void SampleLine(const BinaryPicture& plane, const ModuleMap& map, const float* t, int n, float fixed, bool alongRow,
                uint8_t* bits);

// Every module of a `side` x `side` grid: the majority of five samples
// around its centre. Leaves version, level and mask to the caller.
void SampleGrid(const BinaryPicture& plane, const ModuleMap& map, int side, SampledGrid& grid);

}  // namespace lectavo::photo
