#include "same_symbol.h"

#include <cstring>

#include "core/geometry.h"

namespace lectavo {

namespace {

struct P {
    double x, y;
};

void Outline(const int32_t corners[4][2], P out[4]) {
    for (int k = 0; k < 4; ++k) out[k] = {double(corners[k][0]), double(corners[k][1])};
}

double Cross(P o, P a, P b) { return (a.x - o.x) * (b.y - o.y) - (a.y - o.y) * (b.x - o.x); }

// Segments pq and rs cross at a point inside both (not at an end or along a
// shared line).
bool Cross(P p, P q, P r, P s) {
    const double d1 = Cross(p, q, r), d2 = Cross(p, q, s), d3 = Cross(r, s, p), d4 = Cross(r, s, q);
    return ((d1 > 0 && d2 < 0) || (d1 < 0 && d2 > 0)) && ((d3 > 0 && d4 < 0) || (d3 < 0 && d4 > 0));
}

bool Inside(const P polygon[4], P p) {
    const double x[4] = {polygon[0].x, polygon[1].x, polygon[2].x, polygon[3].x};
    const double y[4] = {polygon[0].y, polygon[1].y, polygon[2].y, polygon[3].y};
    return InsideQuad(x, y, p.x, p.y);
}

P Centre(const P q[4]) { return {(q[0].x + q[1].x + q[2].x + q[3].x) / 4, (q[0].y + q[1].y + q[2].y + q[3].y) / 4}; }

}  // namespace

bool OutlinesOverlap(const int32_t a[4][2], const int32_t b[4][2]) {
    P qa[4], qb[4];
    Outline(a, qa);
    Outline(b, qb);
    for (int i = 0; i < 4; ++i)
        for (int j = 0; j < 4; ++j)
            if (Cross(qa[i], qa[(i + 1) % 4], qb[j], qb[(j + 1) % 4])) return true;
    // No edges cross: one holds the other whole, or they are apart.
    return Inside(qa, Centre(qb)) || Inside(qb, Centre(qa));
}

bool InsideOutline(const int32_t corners[4][2], double x, double y) {
    P q[4];
    Outline(corners, q);
    return Inside(q, {x, y});
}

bool SameSymbol(const DecodeResult& a, const DecodeResult& b) {
    return a.version == b.version && a.level == b.level && a.dataLength == b.dataLength &&
           std::memcmp(a.data, b.data, static_cast<size_t>(a.dataLength)) == 0 && OutlinesOverlap(a.corners, b.corners);
}

bool HeldAlready(const std::vector<DecodeResult>& results, const DecodeResult& r) {
    for (const DecodeResult& held : results)
        if (SameSymbol(held, r)) return true;
    return false;
}

}  // namespace lectavo
