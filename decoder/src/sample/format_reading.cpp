// Format and version information read from single pixels at module centres
// computed from the finder centres and corners, corrected by a
// nearest-codeword search.
#include <bit>

#include "common/bch.h"
#include "point_math.h"
#include "symbol_search.h"

namespace lectavo {

using namespace pointmath;

namespace {

constexpr int kMaxCorrectable = 2;

// Collects bits from module centres; remembers whether any sample point fell
// outside the plane, which fails the whole reading.
class BitReader {
public:
    explicit BitReader(const SymbolSearch& search) : search_(search) {}

    // The pixel of a sample point is trunc(c + 0.499999) in each coordinate,
    // the sum formed in double so that an exact .5 rounds down at every
    // magnitude (in float it rounds up from 32 on). Truncation goes toward
    // zero, so a sum in (-1, 0) is pixel 0; the point is outside when a pixel
    // index is negative or not less than the width or height.
    void Sample(PointF p, int bit) {
        const double x = static_cast<double>(p.x) + 0.499999, y = static_cast<double>(p.y) + 0.499999;
        // Written so that NaN counts as outside as well.
        if (!(x > -1.0 && y > -1.0 && x < static_cast<double>(search_.width) &&
              y < static_cast<double>(search_.height))) {
            outside_ = true;
            return;
        }
        if (search_.Pixel(static_cast<int>(x), static_cast<int>(y))) word_ |= 1u << bit;
    }

    bool Outside() const { return outside_; }

    // The bits read since the last call.
    uint32_t Take() {
        const uint32_t w = word_;
        word_ = 0;
        return w;
    }

private:
    const SymbolSearch& search_;
    uint32_t word_ = 0;
    bool outside_ = false;
};

struct Finder {
    PointF centre;
    const PointF* c;  // four corners in corner order
};

Finder FinderOf(const SymbolSearch& search, const SymbolCandidate& candidate, int role) {
    const int index = role == 0 ? candidate.a : role == 1 ? candidate.b : candidate.c;
    const FinderPattern& f = search.finders[static_cast<size_t>(index)];
    return {{f.x, f.y}, candidate.corners + 4 * role};
}

bool ValidIndices(const SymbolSearch& search, const SymbolCandidate& candidate) {
    const int n = static_cast<int>(search.finders.size());
    for (int i : {candidate.a, candidate.b, candidate.c})
        if (i < 0 || i >= n) return false;
    return search.image != nullptr;
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

bool CorrectNearest(uint32_t& word, int first, int last, uint32_t (*codeword)(uint32_t), uint32_t bits) {
    const uint32_t mask = (1u << bits) - 1;
    for (int value = first; value <= last; ++value) {
        const uint32_t code = codeword(static_cast<uint32_t>(value));
        if (std::popcount((word ^ code) & mask) <= kMaxCorrectable) {
            word = code;
            return true;
        }
    }
    return false;
}

uint32_t FormatCode(uint32_t data) { return qrcommon::FormatCodeword(data); }
uint32_t VersionCode(uint32_t version) { return qrcommon::VersionCodeword(version); }

}  // namespace

bool CorrectFormatWord(uint32_t& word) { return CorrectNearest(word, 0, 31, FormatCode, 15); }

bool CorrectVersionWord(uint32_t& word) { return CorrectNearest(word, 7, 40, VersionCode, 18); }

bool ReadVersionInfo(const SymbolSearch& search, SymbolCandidate& candidate) {
    if (!ValidIndices(search, candidate)) return false;
    BitReader reader(search);
    const Finder tr = FinderOf(search, candidate, 1);
    const Finder bl = FinderOf(search, candidate, 2);

    // Beside the top-right finder: six rows of three modules.
    PointF d = (tr.c[kBottomLeft] - tr.c[kTopLeft]) / 7.0f;
    PointF r = ((tr.c[kTopRight] - tr.c[kTopLeft]) + (tr.c[kBottomRight] - tr.c[kBottomLeft])) / 14.0f;
    for (int i = -3; i <= 2; ++i)
        for (int j = 0; j <= 2; ++j)
            reader.Sample(tr.centre + d * static_cast<float>(i) + r * static_cast<float>(j - 7), 3 * (i + 3) + j);
    if (reader.Outside()) return false;
    uint32_t word = reader.Take();
    if (!CorrectVersionWord(word)) {
        // Beside the bottom-left finder: six columns of three modules.
        r = (bl.c[kTopRight] - bl.c[kTopLeft]) / 7.0f;
        d = ((bl.c[kBottomLeft] - bl.c[kTopLeft]) + (bl.c[kBottomRight] - bl.c[kTopRight])) / 14.0f;
        for (int i = -3; i <= 2; ++i)
            for (int j = 0; j <= 2; ++j)
                reader.Sample(bl.centre + r * static_cast<float>(i) + d * static_cast<float>(j - 7), 3 * (i + 3) + j);
        if (reader.Outside()) return false;
        word = reader.Take();
        if (!CorrectVersionWord(word)) return false;
    }
    candidate.version = static_cast<int32_t>(word >> 12);
    return true;
}

bool ReadFormatInfo(const SymbolSearch& search, SymbolCandidate& candidate) {
    if (!ValidIndices(search, candidate)) return false;
    BitReader reader(search);
    const Finder tl = FinderOf(search, candidate, 0);
    const Finder tr = FinderOf(search, candidate, 1);
    const Finder bl = FinderOf(search, candidate, 2);
    uint32_t word = 0;
    bool found = false;
    for (int reading = 0; reading < 3 && !found; ++reading) {
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
        word = reader.Take() ^ qrcommon::kFormatMask;
        found = CorrectFormatWord(word);
    }
    if (!found) return false;
    // Level indicator 01 -> L, 00 -> M, 11 -> Q, 10 -> H.
    static constexpr int32_t kLevelOfIndicator[4] = {1, 0, 3, 2};
    candidate.level = kLevelOfIndicator[(word >> 13) & 3];
    candidate.mask = static_cast<int32_t>((word >> 10) & 7);
    return true;
}

}  // namespace lectavo
