#include "photo/perspective_transform.h"

#include <cmath>

namespace lectavo::photo {
namespace {

using Mat = double[9];

// The map taking the unit square (0,0), (1,0), (1,1), (0,1) to q[0..3].
bool SquareToQuad(const PointF q[4], Mat out) {
    const double x0 = q[0].x, y0 = q[0].y, x1 = q[1].x, y1 = q[1].y;
    const double x2 = q[2].x, y2 = q[2].y, x3 = q[3].x, y3 = q[3].y;
    const double sx = x0 - x1 + x2 - x3, sy = y0 - y1 + y2 - y3;
    double g = 0, h = 0;
    if (sx != 0 || sy != 0) {
        const double dx1 = x1 - x2, dx2 = x3 - x2, dy1 = y1 - y2, dy2 = y3 - y2;
        const double den = dx1 * dy2 - dx2 * dy1;
        if (std::abs(den) < 1e-12) return false;
        g = (sx * dy2 - dx2 * sy) / den;
        h = (dx1 * sy - sx * dy1) / den;
    }
    const double m[9] = {x1 - x0 + g * x1, x3 - x0 + h * x3, x0, y1 - y0 + g * y1, y3 - y0 + h * y3, y0, g, h, 1};
    for (int i = 0; i < 9; ++i) out[i] = m[i];
    return true;
}

// Inverse up to scale (the adjugate), which is all a homography needs.
bool Adjugate(const Mat a, Mat out) {
    out[0] = a[4] * a[8] - a[5] * a[7];
    out[1] = a[2] * a[7] - a[1] * a[8];
    out[2] = a[1] * a[5] - a[2] * a[4];
    out[3] = a[5] * a[6] - a[3] * a[8];
    out[4] = a[0] * a[8] - a[2] * a[6];
    out[5] = a[2] * a[3] - a[0] * a[5];
    out[6] = a[3] * a[7] - a[4] * a[6];
    out[7] = a[1] * a[6] - a[0] * a[7];
    out[8] = a[0] * a[4] - a[1] * a[3];
    const double det = a[0] * out[0] + a[1] * out[3] + a[2] * out[6];
    return std::abs(det) > 1e-12;
}

void Multiply(const Mat a, const Mat b, Mat out) {
    for (int r = 0; r < 3; ++r)
        for (int c = 0; c < 3; ++c)
            out[r * 3 + c] = a[r * 3] * b[c] + a[r * 3 + 1] * b[3 + c] + a[r * 3 + 2] * b[6 + c];
}

}  // namespace

bool Homography::Fit(const PointF src[4], const PointF dst[4]) {
    Mat toSrc, fromSrc, toDst;
    if (!SquareToQuad(src, toSrc) || !Adjugate(toSrc, fromSrc) || !SquareToQuad(dst, toDst)) return false;
    Mat m;
    Multiply(toDst, fromSrc, m);
    for (double v : m)
        if (!std::isfinite(v)) return false;
    for (int i = 0; i < 9; ++i) m_[i] = m[i];
    return true;
}

}  // namespace lectavo::photo
