#include "triple_search.h"

#include <cmath>
#include <cstdlib>
#include <new>

#include "boundary.h"
#include "geometry.h"

namespace lectavo {

namespace {

constexpr float kPi = 3.1415927f;
constexpr float kMinSine = 0.8660254f;  // c within 60..120 degrees clockwise of b

// The four directions of a triple, as slots of a virtual pattern's edges.
enum Side { kUp = 0, kRight = 1, kDown = 2, kLeft = 3 };

PointF Centre(const FinderPattern& f) { return {f.x, f.y}; }

// Boundary point of `f` on the given side: traced along `angle` from the
// centre, or stored for a virtual pattern.
bool EdgeOf(const SymbolSearch& search, const FinderPattern& f, Side side, float angle, PointF& out) {
    if (f.isVirtual) {
        out = f.edge[side];
        return true;
    }
    return TraceRay(search, Centre(f), angle, out);
}

// Line through the two ends of the side of `f` that contains the traced
// boundary point `start`.
void SideLine(const SymbolSearch& search, const FinderPattern& f, PointF start, PointF line[2]) {
    const int sx = PixelIndex(start.x), sy = PixelIndex(start.y);
    line[0] = WalkBoundary(search, sx, sy, Centre(f), true);
    line[1] = WalkBoundary(search, sx, sy, Centre(f), false);
}

struct Lines {
    PointF top[2], innerRow[2], left[2], innerColumn[2];
    PointF bNear[2], bFar[2], cNear[2], cFar[2];
};

bool Meet(const PointF* p, const PointF* q, PointF& out) { return IntersectLines(p[0], p[1], q[0], q[1], out); }

// The twelve finder corners of a triple; false when two lines are parallel.
bool BuildCorners(const Lines& l, const FinderPattern& b, const FinderPattern& c, PointF corners[12]) {
    PointF* a4 = corners;
    PointF* b4 = corners + 4;
    PointF* c4 = corners + 8;
    if (!Meet(l.top, l.left, a4[kTopLeft]) || !Meet(l.top, l.innerColumn, a4[kTopRight]) ||
        !Meet(l.innerRow, l.innerColumn, a4[kBottomRight]) || !Meet(l.innerRow, l.left, a4[kBottomLeft]))
        return false;
    if (b.isVirtual) {
        for (int k = 0; k < 4; ++k) b4[k] = b.corners[k];
    } else if (!Meet(l.top, l.bNear, b4[kTopLeft]) || !Meet(l.top, l.bFar, b4[kTopRight]) ||
               !Meet(l.innerRow, l.bFar, b4[kBottomRight]) || !Meet(l.innerRow, l.bNear, b4[kBottomLeft])) {
        return false;
    }
    if (c.isVirtual) {
        for (int k = 0; k < 4; ++k) c4[k] = c.corners[k];
    } else if (!Meet(l.left, l.cNear, c4[kTopLeft]) || !Meet(l.innerColumn, l.cNear, c4[kTopRight]) ||
               !Meet(l.innerColumn, l.cFar, c4[kBottomRight]) || !Meet(l.left, l.cFar, c4[kBottomLeft])) {
        return false;
    }
    return true;
}

// Traced geometry of the pair (a, b) along theta, shared by every c.
struct Pair {
    int a, b;
    float theta;
    PointF aLeft, aRight, bLeft, bRight;
    int vab;
};

// Completes the triple (pair, c) into `candidate`; false rejects it.
bool CompleteTriple(const SymbolSearch& search, const Pair& pair, int ci, SymbolCandidate& candidate) {
    const FinderPattern& a = search.finders[pair.a];
    const FinderPattern& b = search.finders[pair.b];
    const FinderPattern& c = search.finders[ci];
    if (c.isVirtual && (a.isVirtual || b.isVirtual)) return false;
    const float phi = DirectionAngle(Centre(a), Centre(c));
    if (std::sin(pair.theta - phi) < kMinSine) return false;

    PointF aUp, aDown;
    if (!EdgeOf(search, a, kUp, phi + kPi, aUp) || !EdgeOf(search, a, kDown, phi, aDown)) return false;
    const float ab = Distance(Centre(a), Centre(b)), ac = Distance(Centre(a), Centre(c));
    if (!b.isVirtual && !ArmsSimilar(ab, ac)) return false;
    PointF cUp, cDown;
    int vac = 0;
    if (!EdgeOf(search, c, kUp, phi + kPi, cUp) || !EdgeOf(search, c, kDown, phi, cDown)) return false;
    if (!c.isVirtual) {
        const float module = (Distance(aUp, aDown) + Distance(cUp, cDown)) * 0.071428575f;
        vac = EstimateVersion(ac, module);
        if (vac < 0) return false;
    }
    int version = 0;
    if (!DecideVersion(pair.vab, vac, b.isVirtual != 0, c.isVirtual != 0, version)) return false;

    Lines l;
    PointF bUp, bDown, cLeft, cRight;
    if (!EdgeOf(search, b, kUp, phi + kPi, bUp) || !EdgeOf(search, b, kDown, phi, bDown) ||
        !EdgeOf(search, c, kLeft, pair.theta + kPi, cLeft) || !EdgeOf(search, c, kRight, pair.theta, cRight))
        return false;
    l.top[0] = aUp;
    l.top[1] = bUp;
    l.innerRow[0] = aDown;
    l.innerRow[1] = bDown;
    l.left[0] = pair.aLeft;
    l.left[1] = cLeft;
    l.innerColumn[0] = pair.aRight;
    l.innerColumn[1] = cRight;
    if (!b.isVirtual) {
        SideLine(search, b, pair.bLeft, l.bNear);
        SideLine(search, b, pair.bRight, l.bFar);
    }
    if (!c.isVirtual) {
        SideLine(search, c, cUp, l.cNear);
        SideLine(search, c, cDown, l.cFar);
    }
    candidate.a = pair.a;
    candidate.b = pair.b;
    candidate.c = ci;
    if (!BuildCorners(l, b, c, candidate.corners)) return false;

    if (version == 0) {
        candidate.version = 0;
        if (!ReadVersionInfo(search, candidate)) {
            if (pair.vab != vac || vac > 40) return false;
            candidate.version = vac;
        }
    } else {
        candidate.version = version;
    }
    if (candidate.version < 1 || candidate.version > 40) return false;
    return ReadFormatInfo(search, candidate);
}

// Traces the pair (a, b) along theta; false rejects every triple on it.
bool PreparePair(const SymbolSearch& search, int ai, int bi, Pair& pair) {
    const FinderPattern& a = search.finders[ai];
    const FinderPattern& b = search.finders[bi];
    if (a.isVirtual && b.isVirtual) return false;
    pair.a = ai;
    pair.b = bi;
    pair.theta = DirectionAngle(Centre(a), Centre(b));
    pair.vab = 0;
    if (!EdgeOf(search, a, kLeft, pair.theta + kPi, pair.aLeft) ||
        !EdgeOf(search, a, kRight, pair.theta, pair.aRight) ||
        !EdgeOf(search, b, kLeft, pair.theta + kPi, pair.bLeft) || !EdgeOf(search, b, kRight, pair.theta, pair.bRight))
        return false;
    if (!b.isVirtual) {
        const float module = (Distance(pair.aLeft, pair.aRight) + Distance(pair.bLeft, pair.bRight)) * 0.071428575f;
        pair.vab = EstimateVersion(Distance(Centre(a), Centre(b)), module);
        if (pair.vab < 0) return false;
    }
    return true;
}

}  // namespace

int EstimateVersion(float centreDistance, float moduleSize) {
    if (!(moduleSize > 0.0f)) return -1;
    // round() adds 0.499999 and truncates; the sum is formed in double so that
    // an exact .5 rounds down (in float 32.5 and up would round up).
    const double rounded = static_cast<double>(((centreDistance / moduleSize) - 10.0f) * 0.25f) + 0.499999;
    // Truncation toward zero yields 0..44 exactly for values in (-1, 45).
    if (!(rounded > -1.0 && rounded < 45.0)) return -1;
    return static_cast<int>(rounded);
}

bool ArmsSimilar(float ab, float ac) {
    const float larger = ab > ac ? ab : ac, smaller = ab > ac ? ac : ab;
    return smaller > 0.0f && larger / smaller <= 2.0f;
}

bool DecideVersion(int vab, int vac, bool bVirtual, bool cVirtual, int& version) {
    if (bVirtual) {
        version = vac;
        return true;
    }
    if (cVirtual) {
        version = vab;
        return true;
    }
    if (vab <= 6 && vac <= 6) {
        version = vab;
        return vab == vac;
    }
    version = 0;
    return std::abs(vab - vac) <= 4;
}

int TripleSearch(SymbolSearch& search) {
    const int n = static_cast<int>(search.finders.size());
    for (int ai = 0; ai < n; ++ai) {
        for (int bi = 0; bi < n; ++bi) {
            Pair pair;
            if (bi == ai || !PreparePair(search, ai, bi, pair)) continue;
            for (int ci = 0; ci < n; ++ci) {
                if (ci == ai || ci == bi) continue;
                SymbolCandidate candidate;
                if (!CompleteTriple(search, pair, ci, candidate)) continue;
                try {
                    search.candidates.push_back(candidate);
                } catch (const std::bad_alloc&) {
                    std::vector<SymbolCandidate>().swap(search.candidates);
                    search.outOfMemory = true;
                    return 0;
                }
            }
        }
    }
    return static_cast<int>(search.candidates.size());
}

}  // namespace lectavo
