// Format and version information read from single pixels at module centres
// computed from the finder centres and corners, corrected by a
// nearest-codeword search.
#include "sample/format_reading.h"

#include "common/bch.h"
#include "common/format_decoding.h"

namespace lectavo {

namespace {

constexpr int kMaxCorrectable = 2;

// Collects bits from module centres; remembers whether any sample point fell
// outside the plane, which fails the whole reading.
class BitReader {
public:
    explicit BitReader(const BinaryPlane& plane) : plane_(plane) {}

    // The pixel of a sample point is trunc(c + 0.499999) in each coordinate,
    // the sum formed in double so that an exact .5 rounds down at every
    // magnitude (in float it rounds up from 32 on). Truncation goes toward
    // zero, so a sum in (-1, 0) is pixel 0; the point is outside when a pixel
    // index is negative or not less than the width or height.
    void Sample(PointF p, int bit) {
        const double x = static_cast<double>(p.x) + 0.499999, y = static_cast<double>(p.y) + 0.499999;
        // Written so that NaN counts as outside as well.
        if (!(x > -1.0 && y > -1.0 && x < static_cast<double>(plane_.width) &&
              y < static_cast<double>(plane_.height))) {
            outside_ = true;
            return;
        }
        if (plane_.Pixel(static_cast<int>(x), static_cast<int>(y))) word_ |= 1u << bit;
    }

    bool Outside() const { return outside_; }

    // The bits read since the last call.
    uint32_t Take() {
        const uint32_t w = word_;
        word_ = 0;
        return w;
    }

private:
    const BinaryPlane& plane_;
    uint32_t word_ = 0;
    bool outside_ = false;
};

struct Finder {
    PointF centre;
    const PointF* c;  // four corners in corner order
};

Finder FinderOf(const std::vector<FinderPattern>& finders, const LocatedSymbol& candidate, int role) {
    const int index = role == 0 ? candidate.a : role == 1 ? candidate.b : candidate.c;
    const FinderPattern& f = finders[static_cast<size_t>(index)];
    return {{f.x, f.y}, candidate.corners + 4 * role};
}

bool ValidIndices(const BinaryPlane& plane, const std::vector<FinderPattern>& finders, const LocatedSymbol& candidate) {
    const int n = static_cast<int>(finders.size());
    for (int i : {candidate.a, candidate.b, candidate.c})
        if (i < 0 || i >= n) return false;
    return plane.pixels != nullptr;
}

// The copy beside the top-left finder, at offsets (right, down) of r and d
// from its centre.
void ReadTopLeftFormat(BitReader& reader, PointF centre, PointF r, PointF d) {
    for (int k = 0; k <= 5; ++k) reader.Sample(centre + r * 5.0f + d * static_cast<float>(k - 3), k);
    reader.Sample(centre + r * 5.0f + d * 4.0f, 6);
    reader.Sample(centre + r * 5.0f + d * 5.0f, 7);
    reader.Sample(centre + r * 4.0f + d * 5.0f, 8);
    for (int k = 0; k <= 5; ++k) reader.Sample(centre + r * static_cast<float>(2 - k) + d * 5.0f, 9 + k);
}

}  // namespace

bool ReadVersionInfo(const BinaryPlane& plane, const std::vector<FinderPattern>& finders, LocatedSymbol& candidate) {
    if (!ValidIndices(plane, finders, candidate)) return false;
    BitReader reader(plane);
    const Finder tr = FinderOf(finders, candidate, 1);
    const Finder bl = FinderOf(finders, candidate, 2);

    // Beside the top-right finder: six rows of three modules.
    PointF d = (tr.c[kBottomLeft] - tr.c[kTopLeft]) / 7.0f;
    PointF r = ((tr.c[kTopRight] - tr.c[kTopLeft]) + (tr.c[kBottomRight] - tr.c[kBottomLeft])) / 14.0f;
    for (int i = -3; i <= 2; ++i)
        for (int j = 0; j <= 2; ++j)
            reader.Sample(tr.centre + d * static_cast<float>(i) + r * static_cast<float>(j - 7), 3 * (i + 3) + j);
    if (reader.Outside()) return false;
    // The first version within two bit errors, in version order.
    const auto match = [](uint32_t word) {
        return qrcommon::MatchVersionWord(word, 2, qrcommon::MatchRule::kFirstWithin);
    };
    qrcommon::CodewordMatch version = match(reader.Take());
    if (!version.Found()) {
        // Beside the bottom-left finder: six columns of three modules.
        r = (bl.c[kTopRight] - bl.c[kTopLeft]) / 7.0f;
        d = ((bl.c[kBottomLeft] - bl.c[kTopLeft]) + (bl.c[kBottomRight] - bl.c[kTopRight])) / 14.0f;
        for (int i = -3; i <= 2; ++i)
            for (int j = 0; j <= 2; ++j)
                reader.Sample(bl.centre + r * static_cast<float>(i) + d * static_cast<float>(j - 7), 3 * (i + 3) + j);
        if (reader.Outside()) return false;
        version = match(reader.Take());
        if (!version.Found()) return false;
    }
    candidate.version = version.value;
    return true;
}

bool ReadFormatInfo(const BinaryPlane& plane, const std::vector<FinderPattern>& finders, LocatedSymbol& candidate) {
    if (!ValidIndices(plane, finders, candidate)) return false;
    BitReader reader(plane);
    const Finder tl = FinderOf(finders, candidate, 0);
    const Finder tr = FinderOf(finders, candidate, 1);
    const Finder bl = FinderOf(finders, candidate, 2);
    qrcommon::CodewordMatch format;
    for (int reading = 0; reading < 3 && !format.Found(); ++reading) {
        if (reading == 0) {
            const PointF d = ((tl.c[kBottomRight] - tl.c[kTopRight]) + (tl.c[kBottomLeft] - tl.c[kTopLeft])) / 14.0f;
            const PointF r = ((tl.c[kTopRight] - tl.c[kTopLeft]) + (tl.c[kBottomRight] - tl.c[kBottomLeft])) / 14.0f;
            ReadTopLeftFormat(reader, tl.centre, r, d);
        } else if (reading == 1) {
            PointF r = (tr.c[kBottomRight] - tr.c[kBottomLeft]) / 7.0f;
            PointF d = ((tr.c[kBottomLeft] - tr.c[kTopLeft]) + (tr.c[kBottomRight] - tr.c[kTopRight])) / 14.0f;
            for (int k = 0; k <= 7; ++k) reader.Sample(tr.centre + d * 5.0f + r * static_cast<float>(3 - k), k);
            d = (bl.c[kBottomRight] - bl.c[kTopRight]) / 7.0f;
            r = ((bl.c[kTopRight] - bl.c[kTopLeft]) + (bl.c[kBottomRight] - bl.c[kBottomLeft])) / 14.0f;
            for (int k = 0; k <= 6; ++k) reader.Sample(bl.centre + r * 5.0f + d * static_cast<float>(k - 3), 8 + k);
        } else {
            // The top-left copy again with module vectors measured across the
            // whole symbol.
            const float span = static_cast<float>(8 * candidate.version + 50);
            const PointF d = ((bl.c[kBottomLeft] - tl.c[kTopLeft]) + (bl.c[kBottomRight] - tl.c[kTopRight])) / span;
            const PointF r = ((tr.c[kTopRight] - tl.c[kTopLeft]) + (tr.c[kBottomRight] - tl.c[kBottomLeft])) / span;
            ReadTopLeftFormat(reader, tl.centre, r, d);
        }
        if (reader.Outside()) return false;
        // The first format within two bit errors, in data order.
        format = qrcommon::MatchFormatWord(reader.Take() ^ qrcommon::kFormatMask, 2, qrcommon::MatchRule::kFirstWithin);
    }
    if (!format.Found()) return false;
    candidate.level = qrcommon::FormatDataLevel(format.value);
    candidate.mask = qrcommon::FormatDataMask(format.value);
    return true;
}

}  // namespace lectavo
