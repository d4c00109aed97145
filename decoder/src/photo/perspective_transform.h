// A plane projective map (homography) from symbol module coordinates to
// picture pixels, made from four point pairs.
#pragma once

#include "photo/grey_view.h"

namespace lectavo::photo {

class Homography {
public:
    Homography() = default;
    // Maps src[i] to dst[i]; false when either quadrilateral is degenerate.
    bool Fit(const PointF src[4], const PointF dst[4]);
    PointF Map(float u, float v) const;

private:
    // Row-major 3 x 3, applied to (u, v, 1).
    double m_[9] = {1, 0, 0, 0, 1, 0, 0, 0, 1};
};

}  // namespace lectavo::photo
