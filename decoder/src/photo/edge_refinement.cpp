#include "photo/edge_refinement.h"

#include <algorithm>
#include <cmath>

namespace lectavo::photo {
namespace {

constexpr float kTwoPi = 6.2831853f;
constexpr int kPasses = 2;                // the second pass walks lines already moved by the first
constexpr int kMaxLines = 7;              // lines walked per window and axis
constexpr int kMaxWalkSamples = 400'000;  // points one measurement walks, about
constexpr int kMinChanges = 4;            // colour changes a window needs before its phase counts
constexpr float kMinCoherence = 0.3f;     // resultant length per change: below, the changes disagree

// Walk step in modules: about a quarter pixel, between 1/4 and 1/20 module,
// and coarse enough that the whole measurement walks about kMaxWalkSamples
// points at most (`walks` is the number of module lengths walked).
float WalkStep(const ModuleMap& map, int side, int walks) {
    const float mid = side / 2.0f;
    const PointF a = map.Map(mid, mid), b = map.Map(mid + 1, mid), c = map.Map(mid, mid + 1);
    const float module = std::max(std::hypot(b.x - a.x, b.y - a.y), std::hypot(c.x - a.x, c.y - a.y));
    const float affordable = std::max(4.0f, static_cast<float>(kMaxWalkSamples) / walks);
    const float perModule = std::clamp(module * 4, 4.0f, std::min(20.0f, affordable));
    return std::isfinite(perModule) ? 1.0f / perModule : 0.25f;
}

// Where module borders lie along one axis inside a window: each colour
// change is a phase (its position modulo one module); their circular mean is
// the offset of the borders from the integer positions. Light and dark runs
// widened by print gain or blur push the two kinds of change in opposite
// directions, so the mean keeps the centre. Returns false when the window
// holds too few changes or they scatter.
bool BorderPhase(const BinaryPicture& plane, const ModuleMap& map, bool alongRows, float across0, int lineFirst,
                 int lineLast, float from, float to, float step, float& phase) {
    float cosSum = 0, sinSum = 0;
    int changes = 0;
    // At most kMaxLines lines, evenly spread over the window.
    const int stride = (lineLast - lineFirst) / kMaxLines + 1;
    for (int line = lineFirst; line <= lineLast; line += stride) {
        const float across = line + 0.5f + across0;
        int previous = -1;
        for (float t = from; t <= to; t += step) {
            const PointF p = alongRows ? map.Map(t, across) : map.Map(across, t);
            const int bit = SampleAt(plane, p);
            if (previous >= 0 && bit != previous) {
                const float angle = kTwoPi * (t - step / 2);
                cosSum += std::cos(angle);
                sinSum += std::sin(angle);
                ++changes;
            }
            previous = bit;
        }
    }
    if (changes < kMinChanges || std::hypot(cosSum, sinSum) < kMinCoherence * changes) return false;
    phase = std::atan2(sinSum, cosSum) / kTwoPi;
    return true;
}

}  // namespace

bool RefineByModuleEdges(const BinaryPicture& plane, int side, ModuleMap& map) {
    constexpr int kLattice = ModuleMap::kMaxShiftLattice;
    if (side < 21 || side > 177) return false;
    const int count = std::clamp((side - 1 + 3) / 4 + 1, 2, kLattice);
    const float spacing = static_cast<float>(side - 1) / (count - 1);
    const int reach = static_cast<int>(spacing / 2) + 1;  // window: this many modules each side of the lattice point
    const int lines = std::min(2 * reach + 1, kMaxLines);
    const float step = WalkStep(map, side, count * count * 2 * kPasses * lines * (2 * reach + 1));
    PointF shifts[kLattice * kLattice];
    int measured = 0;
    for (int i = 0; i < count; ++i)
        for (int j = 0; j < count; ++j) {
            const int column = static_cast<int>(std::lround(j * spacing)),
                      row = static_cast<int>(std::lround(i * spacing));
            const int c0 = std::max(0, column - reach), c1 = std::min(side - 1, column + reach);
            const int r0 = std::max(0, row - reach), r1 = std::min(side - 1, row + reach);
            PointF shift{0, 0};
            bool any = false;
            for (int pass = 0; pass < kPasses; ++pass) {
                float phase = 0;
                if (BorderPhase(plane, map, true, shift.y, r0, r1, static_cast<float>(c0), c1 + 1.0f, step, phase))
                    shift.x = phase, any = true;
                if (BorderPhase(plane, map, false, shift.x, c0, c1, static_cast<float>(r0), r1 + 1.0f, step, phase))
                    shift.y = phase, any = true;
            }
            measured += any;
            shifts[i * count + j] = shift;
        }
    if (measured * 2 < count * count) return false;
    map.SetShifts(side, count, shifts);
    return true;
}

}  // namespace lectavo::photo
