#include "locate/row_runs.h"

#include <bit>
#include <cstring>

namespace lectavo {

namespace {

static_assert(std::endian::native == std::endian::little, "byte j of a loaded word is the pixel at offset j");

// The high bit of each byte of v set where that byte is non-zero.
inline uint64_t NonZeroBytes(uint64_t v) {
    constexpr uint64_t kLow7 = 0x7f7f7f7f7f7f7f7full;
    return (((v & kLow7) + kLow7) | v) & ~kLow7;
}

}  // namespace

RowRuns::RowRuns(int width) : width_(width < 1 ? 1 : width), starts_(new int[static_cast<size_t>(width_) + 1]) {}

void RowRuns::Read(const uint8_t* row) {
    // Eight pixels at a time are compared with their left neighbours; words
    // without a change of darkness are skipped. Inside a word, and for the
    // last pixels, every pixel stores its position as the next start and the
    // count moves past it only where the darkness changes (no branches).
    int* starts = starts_.get();
    firstDark_ = row[0] != 0;
    starts[0] = 0;
    int n = 1;
    int x = 1;
    for (; x + 8 <= width_; x += 8) {
        uint64_t here, left;
        std::memcpy(&here, row + x, sizeof here);
        std::memcpy(&left, row + x - 1, sizeof left);
        const uint64_t change = NonZeroBytes(here) ^ NonZeroBytes(left);
        if (change == 0) continue;
        for (int j = 0; j < 8; ++j) {
            starts[n] = x + j;
            n += static_cast<int>((change >> (8 * j + 7)) & 1);
        }
    }
    for (; x < width_; ++x) {
        starts[n] = x;
        n += (row[x] != 0) != (row[x - 1] != 0) ? 1 : 0;
    }
    starts[n] = width_;
    count_ = n;
}

}  // namespace lectavo
