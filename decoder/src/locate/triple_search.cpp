#include "locate/triple_search.h"

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <cstdlib>
#include <utility>
#include <vector>

#include "locate/boundary.h"
#include "core/geometry.h"
#include "sample/format_reading.h"

namespace lectavo {

namespace {

constexpr float kPi = 3.1415927f;
constexpr float kMinSine = 0.8660254f;  // c within 60..120 degrees clockwise of b

// False when sin(d) is certainly below kMinSine: d (between two direction
// angles, so within a little more than one turn either way) lies outside
// 60..120 degrees plus whole turns by a margin far above any rounding of
// the sine. Five sixths of all triples are settled here without a sine.
// NaN is left to the sine.
bool MaybeSteepEnough(float d) {
    constexpr double kTurn = 6.283185307179586, kMargin = 1e-3;
    constexpr double kLow = kTurn / 6.0 - kMargin, kHigh = kTurn / 3.0 + kMargin;
    const double r = d < 0.0f ? static_cast<double>(d) + kTurn : static_cast<double>(d);
    return !(r < kLow || r > kHigh);
}

// The four directions of a triple, as slots of a virtual pattern's edges.
enum Side { kUp = 0, kRight = 1, kDown = 2, kLeft = 3 };

PointF Centre(const FinderPattern& f) { return {f.x, f.y}; }

// Boundary point of `f` on the given side: traced along `direction` from
// the centre, or stored for a virtual pattern.
bool EdgeOf(const BinaryPlane& plane, const FinderPattern& f, Side side, const RayDirection& direction, PointF& out) {
    if (f.isVirtual) {
        out = f.edge[side];
        return true;
    }
    return TraceRay(plane, Centre(f), direction, out);
}

// Line through the two ends of the side of `f` that contains the boundary
// point `start` traced along `direction`; the walks start on its dark pixel.
void SideLine(const BinaryPlane& plane, const FinderPattern& f, PointF start, const RayDirection& direction,
              PointF line[2]) {
    int sx, sy;
    TracedPixel(start, direction, sx, sy);
    line[0] = WalkBoundary(plane, sx, sy, Centre(f), true);
    line[1] = WalkBoundary(plane, sx, sy, Centre(f), false);
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

// Traced geometry of the pair (a, b) along theta, the direction angle from a
// to b, shared by every c; b's side lines are walked for the first c that
// needs them.
struct Pair {
    int a, b;
    float theta;
    RayDirection forward, backward;  // along theta and theta + pi
    PointF aLeft, aRight, bLeft, bRight;
    int vab;
    bool bSidesWalked = false;
    PointF bNear[2], bFar[2];
};

// What depends only on the corner finder a and the third finder c, shared by
// every b: the direction angle phi from a to c, the ray directions along it
// and back, both patterns traced along them, and c's side lines. Each piece is made when a triple first needs it.
// Traces are pure, so reusing them changes no result.
struct ThirdTraces {
    enum State : uint8_t { kUnknown, kTraced, kFailed };
    bool phiKnown = false, directionsKnown = false;
    float phi = 0.0f;
    RayDirection down, up;  // along phi and phi + pi
    State aState = kUnknown, cState = kUnknown;
    PointF aUp, aDown, cUp, cDown;
    bool cSidesWalked = false;
    PointF cNear[2], cFar[2];
};

// `f` (a or c) traced towards kUp along phi + pi and towards kDown along phi,
// once.
bool UpAndDown(const BinaryPlane& plane, const FinderPattern& f, const ThirdTraces& third, ThirdTraces::State& state,
               PointF& up, PointF& down) {
    if (state == ThirdTraces::kUnknown)
        state = EdgeOf(plane, f, kUp, third.up, up) && EdgeOf(plane, f, kDown, third.down, down) ? ThirdTraces::kTraced
                                                                                                 : ThirdTraces::kFailed;
    return state == ThirdTraces::kTraced;
}

// Completes the triple (pair, c) into `candidate`; false rejects it. A
// triple that passes the angle test is counted in `examined`.
bool CompleteTriple(const BinaryPlane& plane, const std::vector<FinderPattern>& finders, Pair& pair, int ci,
                    ThirdTraces& third, LocatedSymbol& candidate, int& examined) {
    const FinderPattern& a = finders[pair.a];
    const FinderPattern& b = finders[pair.b];
    const FinderPattern& c = finders[ci];
    if (c.isVirtual && (a.isVirtual || b.isVirtual)) return false;
    if (!third.phiKnown) {
        third.phi = DirectionAngle(Centre(a), Centre(c));  // from the corner finder to the third
        third.phiKnown = true;
    }
    const float phi = third.phi;
    const float turn = pair.theta - phi;
    if (!MaybeSteepEnough(turn) || std::sin(turn) < kMinSine) return false;
    ++examined;
    if (!third.directionsKnown) {
        third.down = RayDirection(phi);
        third.up = RayDirection(phi + kPi);
        third.directionsKnown = true;
    }

    if (!UpAndDown(plane, a, third, third.aState, third.aUp, third.aDown)) return false;
    const PointF aUp = third.aUp, aDown = third.aDown;
    const float ab = Distance(Centre(a), Centre(b)), ac = Distance(Centre(a), Centre(c));
    if (!b.isVirtual && !ArmsSimilar(ab, ac)) return false;
    int vac = 0;
    if (!UpAndDown(plane, c, third, third.cState, third.cUp, third.cDown)) return false;
    const PointF cUp = third.cUp, cDown = third.cDown;
    if (!c.isVirtual) {
        const float module = (Distance(aUp, aDown) + Distance(cUp, cDown)) * 0.071428575f;
        vac = EstimateVersion(ac, module);
        if (vac < 0) return false;
    }
    int version = 0;
    if (!DecideVersion(pair.vab, vac, b.isVirtual != 0, c.isVirtual != 0, version)) return false;

    Lines l;
    PointF bUp, bDown, cLeft, cRight;
    if (!EdgeOf(plane, b, kUp, third.up, bUp) || !EdgeOf(plane, b, kDown, third.down, bDown) ||
        !EdgeOf(plane, c, kLeft, pair.backward, cLeft) || !EdgeOf(plane, c, kRight, pair.forward, cRight))
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
        if (!pair.bSidesWalked) {
            SideLine(plane, b, pair.bLeft, pair.backward, pair.bNear);
            SideLine(plane, b, pair.bRight, pair.forward, pair.bFar);
            pair.bSidesWalked = true;
        }
        l.bNear[0] = pair.bNear[0];
        l.bNear[1] = pair.bNear[1];
        l.bFar[0] = pair.bFar[0];
        l.bFar[1] = pair.bFar[1];
    }
    if (!c.isVirtual) {
        if (!third.cSidesWalked) {
            SideLine(plane, c, cUp, third.up, third.cNear);
            SideLine(plane, c, cDown, third.down, third.cFar);
            third.cSidesWalked = true;
        }
        l.cNear[0] = third.cNear[0];
        l.cNear[1] = third.cNear[1];
        l.cFar[0] = third.cFar[0];
        l.cFar[1] = third.cFar[1];
    }
    candidate.a = pair.a;
    candidate.b = pair.b;
    candidate.c = ci;
    if (!BuildCorners(l, b, c, candidate.corners)) return false;

    if (version == 0) {
        candidate.version = 0;
        if (!ReadVersionInfo(plane, finders, candidate)) {
            if (pair.vab != vac || vac > 40) return false;
            candidate.version = vac;
        }
    } else {
        candidate.version = version;
    }
    if (candidate.version < 1 || candidate.version > 40) return false;
    return ReadFormatInfo(plane, finders, candidate);
}

// Traces the pair (a, b) along theta; false rejects every triple on it.
bool PreparePair(const BinaryPlane& plane, const std::vector<FinderPattern>& finders, int ai, int bi, Pair& pair) {
    const FinderPattern& a = finders[ai];
    const FinderPattern& b = finders[bi];
    if (a.isVirtual && b.isVirtual) return false;
    pair.a = ai;
    pair.b = bi;
    pair.theta = DirectionAngle(Centre(a), Centre(b));
    pair.forward = RayDirection(pair.theta);
    pair.backward = RayDirection(pair.theta + kPi);
    pair.vab = 0;
    if (!EdgeOf(plane, a, kLeft, pair.backward, pair.aLeft) || !EdgeOf(plane, a, kRight, pair.forward, pair.aRight) ||
        !EdgeOf(plane, b, kLeft, pair.backward, pair.bLeft) || !EdgeOf(plane, b, kRight, pair.forward, pair.bRight))
        return false;
    if (!b.isVirtual) {
        const float module = (Distance(pair.aLeft, pair.aRight) + Distance(pair.bLeft, pair.bRight)) * 0.071428575f;
        pair.vab = EstimateVersion(Distance(Centre(a), Centre(b)), module);
        if (pair.vab < 0) return false;
    }
    return true;
}

// `angle` (finite, within a little more than a turn of 0) moved into 0 .. 2 pi.
float NormalAngle(float angle) {
    constexpr float kTurn = 2.0f * kPi;
    while (angle < 0.0f) angle += kTurn;
    while (angle >= kTurn) angle -= kTurn;
    return angle;
}

// The thirds (sorted by their normal direction angle from a) whose direction
// lies 60 to 120 degrees clockwise of `theta`, give or take kWindowMargin
// radians, and the `undirected` ones (no finite angle), in ascending index
// order. Every third when theta is not finite.
void ThirdsInWindow(const std::vector<std::pair<float, int>>& byDirection, const std::vector<int>& undirected,
                    float theta, std::vector<int>& window) {
    constexpr float kWindowMargin = 0.01f;
    window = undirected;
    if (!std::isfinite(theta)) {
        for (const auto& d : byDirection) window.push_back(d.second);
    } else {
        const float low = NormalAngle(theta - 2.0f * kPi / 3.0f - kWindowMargin);
        const float high = NormalAngle(theta - kPi / 3.0f + kWindowMargin);
        auto take = [&](float from, float to) {
            auto it = std::lower_bound(byDirection.begin(), byDirection.end(), std::make_pair(from, -1));
            for (; it != byDirection.end() && it->first <= to; ++it) window.push_back(it->second);
        };
        if (low <= high) {
            take(low, high);
        } else {  // the window wraps through 0
            take(low, 2.0f * kPi);
            take(-1.0f, high);
        }
    }
    std::sort(window.begin(), window.end());
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

int TripleSearch(const BinaryPlane& plane, const std::vector<FinderPattern>& finders,
                 std::vector<LocatedSymbol>& candidates, int& triplesLeft) {
    const int n = static_cast<int>(finders.size());
    int examined = 0;
    std::vector<ThirdTraces> thirds(static_cast<size_t>(n));
    // Only a third finder whose direction from a lies 60 to 120 degrees
    // clockwise of b's can pass the angle test: the thirds of each a are
    // sorted by direction, and each pair visits those in a window around that
    // range (a margin wider than any rounding), in their list order, where the
    // full test decides. A third outside the window would have failed the
    // test without any other effect, so the candidates and the count of
    // triples examined are those of the loop over every third; the loop costs
    // a sixth.
    std::vector<std::pair<float, int>> byDirection;
    std::vector<int> window, undirected;
    byDirection.reserve(static_cast<size_t>(n));
    window.reserve(static_cast<size_t>(n));
    for (int ai = 0; ai < n; ++ai) {
        std::fill(thirds.begin(), thirds.end(), ThirdTraces());
        byDirection.clear();
        undirected.clear();
        for (int ci = 0; ci < n; ++ci) {
            if (ci == ai) continue;
            const float phi = DirectionAngle(Centre(finders[ai]), Centre(finders[ci]));
            if (std::isfinite(phi))
                byDirection.emplace_back(NormalAngle(phi), ci);
            else
                undirected.push_back(ci);  // left to the full test
        }
        std::sort(byDirection.begin(), byDirection.end());
        for (int bi = 0; bi < n; ++bi) {
            Pair pair;
            if (bi == ai || !PreparePair(plane, finders, ai, bi, pair)) continue;
            ThirdsInWindow(byDirection, undirected, pair.theta, window);
            for (const int ci : window) {
                if (ci == bi) continue;
                if (examined >= triplesLeft) {  // the call's bound: keep what was found
                    triplesLeft = 0;
                    return static_cast<int>(candidates.size());
                }
                LocatedSymbol candidate;
                if (!CompleteTriple(plane, finders, pair, ci, thirds[static_cast<size_t>(ci)], candidate, examined))
                    continue;
                candidates.push_back(candidate);
            }
        }
    }
    triplesLeft -= examined;
    return static_cast<int>(candidates.size());
}

}  // namespace lectavo
