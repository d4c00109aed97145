#include "locate/two_finder.h"

#include <vector>

#include "locate/boundary.h"
#include "core/geometry.h"

namespace lectavo {

namespace {

constexpr float kHalfPi = 1.5707964f;
constexpr float kPi = 3.1415927f;
constexpr float kSizeAgreement = 1.4f;

// Boundary points of one pattern along base, base + pi/2, base + pi and
// base - pi/2 (index k is a quarter turn k counter-clockwise from base).
struct Traces {
    PointF centre;
    PointF at[4];
};

bool TraceFour(const BinaryPlane& plane, PointF centre, float base, Traces& t) {
    t.centre = centre;
    return TraceRay(plane, centre, base + kPi, t.at[2]) && TraceRay(plane, centre, base, t.at[0]) &&
           TraceRay(plane, centre, base + kHalfPi, t.at[1]) && TraceRay(plane, centre, base - kHalfPi, t.at[3]);
}

bool Agree(float p, float q) {
    const float larger = p > q ? p : q, smaller = p > q ? q : p;
    return smaller > 0.0f && larger / smaller <= kSizeAgreement;
}

// Virtual pattern at `v` carrying P's traced geometry, oriented so that the
// symbol's rightward direction (corner finder towards second finder) is the
// trace index `right`. Edge slots: up, right, down, left of that frame.
FinderPattern MakeVirtual(const Traces& p, int right, PointF v) {
    const PointF shift = v - p.centre;
    const PointF r = p.at[right], u = p.at[(right + 1) & 3], l = p.at[(right + 2) & 3], d = p.at[(right + 3) & 3];
    FinderPattern f;
    f.x = v.x;
    f.y = v.y;
    f.isVirtual = 1;
    f.edge[0] = u + shift;
    f.edge[1] = r + shift;
    f.edge[2] = d + shift;
    f.edge[3] = l + shift;
    f.corners[kTopLeft] = u + l - p.centre + shift;
    f.corners[kTopRight] = u + r - p.centre + shift;
    f.corners[kBottomRight] = d + r - p.centre + shift;
    f.corners[kBottomLeft] = d + l - p.centre + shift;
    return f;
}

}  // namespace

bool CompleteTwoFinders(const BinaryPlane& plane, std::vector<FinderPattern>& finders) {
    if (finders.size() != 2) return false;
    finders.reserve(8);
    const PointF c0{finders[0].x, finders[0].y};
    const PointF c1{finders[1].x, finders[1].y};
    const float theta = DirectionAngle(c0, c1);
    Traces t[2];
    if (!TraceFour(plane, c0, theta, t[0]) || !TraceFour(plane, c1, theta, t[1])) return false;
    if (!Agree(Distance(t[0].at[0], t[0].at[2]), Distance(t[1].at[0], t[1].at[2])) ||
        !Agree(Distance(t[0].at[1], t[0].at[3]), Distance(t[1].at[1], t[1].at[3])))
        return false;

    // Seen from P, the trace index of the direction towards Q: 0 for F0, 2
    // for F1 (the traces of both are taken about theta = angle(F0 -> F1)).
    const int towards[2] = {0, 2};
    FinderPattern made[6];
    for (int i = 0; i < 2; ++i) {
        const Traces& p = t[i];
        const PointF q = t[1 - i].centre;
        const PointF d = q - p.centre;
        // P the corner finder, Q on the top edge: V below P.
        made[i] = MakeVirtual(p, towards[i], p.centre + PointF{-d.y, d.x});
        // P the corner finder, Q on the left edge: V right of P, and the
        // rightward direction is a quarter turn counter-clockwise of P -> Q.
        made[2 + i] = MakeVirtual(p, (towards[i] + 1) & 3, p.centre + PointF{d.y, -d.x});
        // P and Q diagonal: V is the corner finder, P the second finder.
        const PointF v = (p.centre + q) * 0.5f + PointF{-d.y, d.x} * 0.5f;
        Traces again;
        if (!TraceFour(plane, p.centre, DirectionAngle(v, p.centre), again)) return false;
        made[4 + i] = MakeVirtual(again, 0, v);
    }
    for (const FinderPattern& f : made) finders.push_back(f);  // capacity reserved above
    return true;
}

}  // namespace lectavo
