#include "locate/row_runs.h"

#include <bit>
#include <cstring>

#if defined(__SSE2__)
#include <emmintrin.h>
#endif

namespace lectavo {

namespace {

static_assert(std::endian::native == std::endian::little, "byte j of a loaded word is the pixel at offset j");

// The high bit of each byte of v set where that byte is non-zero.
inline uint64_t NonZeroBytes(uint64_t v) {
    constexpr uint64_t kLow7 = 0x7f7f7f7f7f7f7f7full;
    return (((v & kLow7) + kLow7) | v) & ~kLow7;
}

// Bit j set where pixel j of the 64 at `p` is dark (non-zero).
inline uint64_t DarkBits(const uint8_t* p) {
#if defined(__SSE2__)
    const __m128i zero = _mm_setzero_si128();
    uint64_t light = 0;
    for (int k = 0; k < 4; ++k) {
        const __m128i v = _mm_loadu_si128(reinterpret_cast<const __m128i*>(p + 16 * k));
        light |= static_cast<uint64_t>(static_cast<uint32_t>(_mm_movemask_epi8(_mm_cmpeq_epi8(v, zero)))) << (16 * k);
    }
    return ~light;
#else
    uint64_t dark = 0;
    for (int k = 0; k < 8; ++k) {
        uint64_t word;
        std::memcpy(&word, p + 8 * k, sizeof word);
        // The high bits of the eight bytes gathered into one byte, pixel 0 lowest.
        const uint64_t highs = NonZeroBytes(word) >> 7;
        dark |= ((highs * 0x0102040810204080ull) >> 56) << (8 * k);
    }
    return dark;
#endif
}

}  // namespace

RowRuns::RowRuns(int width) : width_(width < 1 ? 1 : width), starts_(new int[static_cast<size_t>(width_) + 1]) {}

void RowRuns::Read(const uint8_t* row) {
    // Sixty-four pixels at a time: a bit per pixel, dark or not, compared
    // with the same shifted by one pixel (the previous block's last pixel
    // shifted in), marks each change of darkness; then eight at a time, the
    // word's non-zero bytes compared likewise. The last pixels store their
    // position as the next start, the count moving past it only where the
    // darkness changes.
    int* starts = starts_.get();
    firstDark_ = row[0] != 0;
    starts[0] = 0;
    int n = 1;
    uint64_t last = firstDark_ ? 1 : 0;  // pixel 0 is no change
    int x = 0;
    for (; x + 64 <= width_; x += 64) {
        const uint64_t dark = DarkBits(row + x);
        uint64_t change = dark ^ ((dark << 1) | last);
        last = dark >> 63;
        for (; change != 0; change &= change - 1) starts[n++] = x + std::countr_zero(change);
    }
    uint64_t previous = last << 7;  // as the high bit of a byte
    for (; x + 8 <= width_; x += 8) {
        uint64_t word;
        std::memcpy(&word, row + x, sizeof word);
        const uint64_t dark = NonZeroBytes(word);
        for (uint64_t change = dark ^ ((dark << 8) | previous); change != 0; change &= change - 1)
            starts[n++] = x + std::countr_zero(change) / 8;
        previous = dark >> 56;
    }
    for (x = x < 1 ? 1 : x; x < width_; ++x) {
        starts[n] = x;
        n += (row[x] != 0) != (row[x - 1] != 0) ? 1 : 0;
    }
    starts[n] = width_;
    count_ = n;
}

}  // namespace lectavo
