#include "photo/edge_refinement.h"

#include <algorithm>
#include <bit>
#include <cmath>
#include <cstdint>
#include <cstring>

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

// The points of one window's walk along one axis: module positions from
// `from` to `to` in steps of `step`, the same on every line of the window and
// in both passes, with the phase of a colour change found just before each
// worked out once, when first needed.
class Walk {
public:
    void Reset(float from, float to, float step) {
        step_ = step;
        count_ = 0;
        for (float t = from; t <= to && count_ < kCapacity; t += step) t_[count_] = t, known_[count_++] = false;
    }

    // Adds the phases of the colour changes along the line at `across` to
    // the sums, in walk order.
    void AddChanges(const BinaryPicture& plane, const ModuleMap& map, bool alongRows, float across, float& cosSum,
                    float& sinSum, int& changes) {
        if (count_ == 0) return;
        SampleLine(plane, map, t_, count_, across, alongRows, bits_);
        // The colour changes, in order: eight points at a time compared with
        // the eight before them, and only the changes found visited (they
        // fall where no branch predictor can guess them).
        int k = 1;
        if constexpr (std::endian::native == std::endian::little)
            for (; k + 8 <= count_; k += 8) {
                std::uint64_t here, before;
                std::memcpy(&here, bits_ + k, 8);
                std::memcpy(&before, bits_ + k - 1, 8);
                for (std::uint64_t differ = here ^ before; differ != 0;) {
                    const int byte = __builtin_ctzll(differ) / 8;
                    AddChange(k + byte, cosSum, sinSum), ++changes;
                    differ &= ~(std::uint64_t{0xff} << (8 * byte));
                }
            }
        for (; k < count_; ++k)
            if (bits_[k] != bits_[k - 1]) AddChange(k, cosSum, sinSum), ++changes;
    }

private:
    // A window spans at most 19 modules (lattice spacing 16) at 20 points a
    // module.
    static constexpr int kCapacity = 512;

    void AddChange(int k, float& cosSum, float& sinSum) {
        if (!known_[k]) {
            const float angle = kTwoPi * (t_[k] - step_ / 2);
            cos_[k] = std::cos(angle);
            sin_[k] = std::sin(angle);
            known_[k] = true;
        }
        cosSum += cos_[k];
        sinSum += sin_[k];
    }

    float step_ = 0;
    int count_ = 0;
    float t_[kCapacity];
    uint8_t bits_[kCapacity];
    float cos_[kCapacity];
    float sin_[kCapacity];
    bool known_[kCapacity];
};

// Where module borders lie along one axis inside a window: each colour
// change is a phase (its position modulo one module); their circular mean is
// the offset of the borders from the integer positions. Light and dark runs
// widened by print gain or blur push the two kinds of change in opposite
// directions, so the mean keeps the centre. Returns false when the window
// holds too few changes or they scatter.
bool BorderPhase(const BinaryPicture& plane, const ModuleMap& map, bool alongRows, float across0, int lineFirst,
                 int lineLast, Walk& walk, float& phase) {
    float cosSum = 0, sinSum = 0;
    int changes = 0;
    // At most kMaxLines lines, evenly spread over the window.
    const int stride = (lineLast - lineFirst) / kMaxLines + 1;
    for (int line = lineFirst; line <= lineLast; line += stride)
        walk.AddChanges(plane, map, alongRows, line + 0.5f + across0, cosSum, sinSum, changes);
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
    // The walk along rows depends only on the lattice column, the one along
    // columns only on the lattice row: each is made once (about 90 KB, kept
    // for the thread) and its phases shared by every window that walks it.
    static thread_local Walk alongRowsOf[kLattice], alongColumns;
    for (int j = 0; j < count; ++j) {
        const int column = static_cast<int>(std::lround(j * spacing));
        const int c0 = std::max(0, column - reach), c1 = std::min(side - 1, column + reach);
        alongRowsOf[j].Reset(static_cast<float>(c0), c1 + 1.0f, step);
    }
    int measured = 0;
    for (int i = 0; i < count; ++i) {
        const int row = static_cast<int>(std::lround(i * spacing));
        const int r0 = std::max(0, row - reach), r1 = std::min(side - 1, row + reach);
        alongColumns.Reset(static_cast<float>(r0), r1 + 1.0f, step);
        for (int j = 0; j < count; ++j) {
            const int column = static_cast<int>(std::lround(j * spacing));
            const int c0 = std::max(0, column - reach), c1 = std::min(side - 1, column + reach);
            PointF shift{0, 0};
            bool any = false;
            Walk& alongRows = alongRowsOf[j];
            // A line's changes depend only on where it runs: a pass whose
            // lines run where the previous pass's did finds what it found.
            struct Measured {
                float across = 0, phase = 0;
                bool valid = false, found = false;
            } rows, columns;
            const auto measure = [&](bool alongRow, float across, Measured& last) {
                if (!last.valid || last.across != across) {
                    last.valid = true, last.across = across;
                    last.found = alongRow ? BorderPhase(plane, map, true, across, r0, r1, alongRows, last.phase)
                                          : BorderPhase(plane, map, false, across, c0, c1, alongColumns, last.phase);
                }
                return last.found;
            };
            for (int pass = 0; pass < kPasses; ++pass) {
                if (measure(true, shift.y, rows)) shift.x = rows.phase, any = true;
                if (measure(false, shift.x, columns)) shift.y = columns.phase, any = true;
            }
            measured += any;
            shifts[i * count + j] = shift;
            // Too few measured even if every window left were: the answer
            // is known, and the remaining walks are skipped.
            const int left = count * count - (i * count + j + 1);
            if ((measured + left) * 2 < count * count) return false;
        }
    }
    if (measured * 2 < count * count) return false;
    map.SetShifts(side, count, shifts);
    return true;
}

}  // namespace lectavo::photo
