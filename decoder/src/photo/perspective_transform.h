// A plane projective map (homography) from symbol module coordinates to
// picture pixels, made from four point pairs.
#pragma once

#include <cmath>

#include "photo/grey_view.h"

namespace lectavo::photo {

class Homography {
public:
    Homography() = default;
    // Maps src[i] to dst[i]; false when either quadrilateral is degenerate.
    bool Fit(const PointF src[4], const PointF dst[4]);
    // Inline: called for every sample of every grid.
    PointF Map(float u, float v) const {
        const double w = m_[6] * u + m_[7] * v + m_[8];
        if (std::abs(w) < 1e-12) return {-1e6f, -1e6f};
        // One division, not two: the float result differs from dividing
        // twice only when the double lands within an ulp of a float boundary.
        const double inverse = 1 / w;
        return {static_cast<float>((m_[0] * u + m_[1] * v + m_[2]) * inverse),
                static_cast<float>((m_[3] * u + m_[4] * v + m_[5]) * inverse)};
    }

private:
    // Row-major 3 x 3, applied to (u, v, 1).
    double m_[9] = {1, 0, 0, 0, 1, 0, 0, 0, 1};
};

}  // namespace lectavo::photo
