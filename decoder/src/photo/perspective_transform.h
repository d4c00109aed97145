// A plane projective map (homography) from symbol module coordinates to
// picture pixels, made from four point pairs.
#pragma once

#include <algorithm>
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

    // Map of the points (t[k], fixed) when `alongU`, else (fixed, t[k]),
    // for k < n (t ascending), into x[k] and y[k]: each exactly what Map
    // gives, worked out in one loop with the fixed coordinate's terms hoisted
    // (which leaves every sum as Map forms it) and no branch, so that it
    // vectorises. False, leaving x and y unset, where the line comes near
    // the line mapped to infinity.
    bool MapLine(const float* t, int n, float fixed, bool alongU, float* x, float* y) const {
        return alongU ? MapLineOf<true>(t, n, fixed, x, y) : MapLineOf<false>(t, n, fixed, x, y);
    }

private:
    template <bool kAlongU>
    bool MapLineOf(const float* t, int n, float fixed, float* __restrict x, float* __restrict y) const {
        if (n <= 0) return true;
        const double f = fixed;
        // The fixed coordinate's product in each row of the matrix.
        const double fx = m_[kAlongU ? 1 : 0] * f, fy = m_[kAlongU ? 4 : 3] * f, fw = m_[kAlongU ? 7 : 6] * f;
        const double tx = m_[kAlongU ? 0 : 1], ty = m_[kAlongU ? 3 : 4], tw = m_[kAlongU ? 6 : 7];
        // The denominator is linear along the line: well clear of zero at
        // both ends with one sign, it is so everywhere between, far above
        // Map's cut-off and the rounding of its terms.
        const double first = tw * t[0] + fw + m_[8], last = tw * t[n - 1] + fw + m_[8];
        const double margin = std::max(1e-11, 1e-6 * (std::abs(tw) * std::max(std::abs(t[0]), std::abs(t[n - 1])) +
                                                      std::abs(fw) + std::abs(m_[8])));
        if (!((first > margin && last > margin) || (first < -margin && last < -margin))) return false;
        for (int k = 0; k < n; ++k) {
            const double u = t[k];
            // Map sums the u term, then the v term, then the constant; the
            // first sum does not depend on the order of its terms.
            const double inverse = 1 / (tw * u + fw + m_[8]);
            x[k] = static_cast<float>((tx * u + fx + m_[2]) * inverse);
            y[k] = static_cast<float>((ty * u + fy + m_[5]) * inverse);
        }
        return true;
    }

    // Row-major 3 x 3, applied to (u, v, 1).
    double m_[9] = {1, 0, 0, 0, 1, 0, 0, 0, 1};
};

}  // namespace lectavo::photo
