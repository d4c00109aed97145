#include "decode/grid_format.h"

#include <algorithm>
#include <cstdint>

#include "common/bch.h"
#include "common/format_decoding.h"
#include "common/symbol_layout.h"

namespace lectavo {
namespace {

constexpr int kMaxCorrectable = 3;

FormatReading NearestFormat(uint32_t bits) {
    const qrcommon::CodewordMatch m =
        qrcommon::MatchFormatWord(bits ^ qrcommon::kFormatMask, kMaxCorrectable, qrcommon::MatchRule::kNearestWithin);
    if (!m.Found()) return {};
    return {qrcommon::FormatDataLevel(m.value), qrcommon::FormatDataMask(m.value), m.distance};
}

}  // namespace

FormatReading ReadFormat(const SampledGrid& g) {
    const int s = g.side;
    if (s < 21 || s > kMaxSide) return {};
    uint32_t first = 0, second = 0;
    auto take = [&](uint32_t& word, int row, int column) { word = (word << 1) | (g.At(row, column) & 1u); };
    for (int c = 0; c <= 5; ++c) take(first, 8, c);
    take(first, 8, 7);
    take(first, 8, 8);
    take(first, 7, 8);
    for (int r = 5; r >= 0; --r) take(first, r, 8);
    for (int r = s - 1; r >= s - 7; --r) take(second, r, 8);
    for (int c = s - 8; c <= s - 1; ++c) take(second, 8, c);
    const FormatReading a = NearestFormat(first), b = NearestFormat(second);
    return a.distance <= b.distance ? a : b;
}

int ReadVersion(const SampledGrid& g) {
    const int s = g.side;
    if (s < 45 || s > kMaxSide) return 0;
    uint32_t right = 0, below = 0;
    for (int r = 5; r >= 0; --r)
        for (int c = s - 9; c >= s - 11; --c) right = (right << 1) | (g.At(r, c) & 1u);
    for (int c = 5; c >= 0; --c)
        for (int r = s - 9; r >= s - 11; --r) below = (below << 1) | (g.At(r, c) & 1u);
    const auto nearest = [](uint32_t word) {
        return qrcommon::MatchVersionWord(word, kMaxCorrectable, qrcommon::MatchRule::kNearestWithin);
    };
    const qrcommon::CodewordMatch a = nearest(right), b = nearest(below);
    // The nearer copy; of equally near ones the lower version, as one search
    // over both copies would find.
    if (!a.Found() && !b.Found()) return 0;
    if (a.distance != b.distance) return a.distance < b.distance ? a.value : b.value;
    return std::min(a.value, b.value);
}

void Transpose(SampledGrid& g) {
    for (int r = 0; r < g.side; ++r)
        for (int c = r + 1; c < g.side; ++c) std::swap(g.modules[r * g.side + c], g.modules[c * g.side + r]);
}

}  // namespace lectavo
