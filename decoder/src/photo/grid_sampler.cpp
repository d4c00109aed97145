#include "photo/grid_sampler.h"

#include <algorithm>
#include <cmath>

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

void SampleGrid(const BinaryPicture& plane, const ModuleMap& map, int side, SampledGrid& grid) {
    grid.side = std::clamp(side, 0, kMaxSide);
    constexpr float kOff = 0.22f;  // sub-sample offset in modules
    for (int r = 0; r < grid.side; ++r)
        for (int c = 0; c < grid.side; ++c) {
            const float u = c + 0.5f, v = r + 0.5f;
            const int votes = SampleAt(plane, map.Map(u, v)) * 2 + SampleAt(plane, map.Map(u - kOff, v - kOff)) +
                              SampleAt(plane, map.Map(u + kOff, v - kOff)) +
                              SampleAt(plane, map.Map(u - kOff, v + kOff)) +
                              SampleAt(plane, map.Map(u + kOff, v + kOff));
            grid.modules[r * grid.side + c] = votes >= 3 ? 1 : 0;
        }
}

}  // namespace lectavo::photo
