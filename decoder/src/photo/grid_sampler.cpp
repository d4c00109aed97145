#include "photo/grid_sampler.h"

#include <algorithm>
#include <cmath>
#include <cstdint>

#include "core/picture_limits.h"

namespace lectavo::photo {

void ModuleMap::SetCells(const int* anchors, int count, const PointF* points) {
    count_ = 0;
    if (count < 2 || count > kMaxAnchors) return;
    for (int i = 0; i + 1 < count; ++i)
        for (int j = 0; j + 1 < count; ++j) {
            const PointF src[4] = {{anchors[j] + 0.5f, anchors[i] + 0.5f},
                                   {anchors[j + 1] + 0.5f, anchors[i] + 0.5f},
                                   {anchors[j + 1] + 0.5f, anchors[i + 1] + 0.5f},
                                   {anchors[j] + 0.5f, anchors[i + 1] + 0.5f}};
            const PointF dst[4] = {points[i * count + j], points[i * count + j + 1], points[(i + 1) * count + j + 1],
                                   points[(i + 1) * count + j]};
            if (!cells_[i * (kMaxAnchors - 1) + j].Fit(src, dst)) return;
        }
    std::copy(anchors, anchors + count, anchors_);
    count_ = count;
}

void ModuleMap::SetShifts(int side, int count, const PointF* shifts) {
    shiftCount_ = 0;
    if (count < 2 || count > kMaxShiftLattice || side < 2) return;
    std::copy(shifts, shifts + count * count, shifts_.begin());
    shiftSpacing_ = static_cast<float>(side - 1) / (count - 1);
    shiftCount_ = count;
}

void ModuleMap::MapLine(const float* t, int n, float fixed, bool alongRow, float* x, float* y) const {
    const auto pointByPoint = [&](int first, int end) {
        for (int k = first; k < end; ++k) {
            const PointF p = alongRow ? Map(t[k], fixed) : Map(fixed, t[k]);
            x[k] = p.x, y[k] = p.y;
        }
    };
    if (shiftCount_ >= 2) return pointByPoint(0, n);
    if (count_ < 2) {
        if (!global_.MapLine(t, n, fixed, alongRow, x, y)) pointByPoint(0, n);
        return;
    }
    // The cells along the line in order: a point's cell is the last whose
    // lower bound it reaches, as Cell finds it.
    const int across = Cell(fixed);
    for (int k = 0; k < n;) {
        const int cell = Cell(t[k]);
        int end = k + 1;
        if (cell + 2 < count_) {
            const float bound = anchors_[cell + 1] + 0.5f;
            while (end < n && t[end] < bound) ++end;
        } else {
            end = n;
        }
        const Homography& h =
            alongRow ? cells_[across * (kMaxAnchors - 1) + cell] : cells_[cell * (kMaxAnchors - 1) + across];
        if (!h.MapLine(t + k, end - k, fixed, alongRow, x + k, y + k)) pointByPoint(k, end);
        k = end;
    }
}

void SampleLine(const BinaryPicture& plane, const ModuleMap& map, const float* t, int n, float fixed, bool alongRow,
                uint8_t* bits) {
    static_assert(kMaxPhotoStagePixels <= INT32_MAX, "the photo stage's plane indexes fit 32 bits");
    if (static_cast<int64_t>(plane.width) * plane.height > INT32_MAX) {  // a plane from elsewhere
        for (int k = 0; k < n; ++k) bits[k] = SampleAt(plane, alongRow ? map.Map(t[k], fixed) : map.Map(fixed, t[k]));
        return;
    }
    constexpr int kChunk = 256;
    float x[kChunk], y[kChunk];
    int32_t index[kChunk];
    const int32_t columns = plane.width;
    const float width = static_cast<float>(plane.width), height = static_cast<float>(plane.height);
    const uint8_t* pixels = plane.bits.data();
    for (int first = 0; first < n; first += kChunk) {
        const int count = std::min(kChunk, n - first);
        map.MapLine(t + first, count, fixed, alongRow, x, y);
        // SampleAt's test and index, in a loop that vectorises.
        for (int k = 0; k < count; ++k) {
            const float px = x[k], py = y[k];
            const bool inside = (px >= 0) & (py >= 0) & (px < width) & (py < height);
            const float cx = inside ? px : 0.0f, cy = inside ? py : 0.0f;
            index[k] = inside ? static_cast<int32_t>(cy) * columns + static_cast<int32_t>(cx) : -1;
        }
        for (int k = 0; k < count; ++k) bits[first + k] = index[k] >= 0 ? pixels[index[k]] : 0;
    }
}

void SampleGrid(const BinaryPicture& plane, const ModuleMap& map, int side, SampledGrid& grid) {
    grid.side = std::clamp(side, 0, kMaxSide);
    constexpr float kOff = 0.22f;  // sub-sample offset in modules
    const int n = grid.side;
    // Module centres along a row, and the sub-sample columns either side.
    float centre[kMaxSide], left[kMaxSide], right[kMaxSide];
    for (int c = 0; c < n; ++c) {
        const float u = c + 0.5f;
        centre[c] = u, left[c] = u - kOff, right[c] = u + kOff;
    }
    uint8_t middle[kMaxSide], upLeft[kMaxSide], upRight[kMaxSide], downLeft[kMaxSide], downRight[kMaxSide];
    for (int r = 0; r < n; ++r) {
        const float v = r + 0.5f;
        SampleLine(plane, map, centre, n, v, true, middle);
        SampleLine(plane, map, left, n, v - kOff, true, upLeft);
        SampleLine(plane, map, right, n, v - kOff, true, upRight);
        SampleLine(plane, map, left, n, v + kOff, true, downLeft);
        SampleLine(plane, map, right, n, v + kOff, true, downRight);
        // The majority of five samples, the centre counting twice.
        for (int c = 0; c < n; ++c) {
            const int votes = middle[c] * 2 + upLeft[c] + upRight[c] + downLeft[c] + downRight[c];
            grid.modules[r * n + c] = votes >= 3 ? 1 : 0;
        }
    }
}

}  // namespace lectavo::photo
