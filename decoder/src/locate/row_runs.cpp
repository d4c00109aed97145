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
    // Eight pixels at a time: the word's non-zero bytes compared with the
    // same shifted by one pixel (the previous word's last pixel shifted in)
    // mark each change of darkness, found from its bit. The last pixels
    // store their position as the next start, the count moving past it only
    // where the darkness changes.
    int* starts = starts_.get();
    firstDark_ = row[0] != 0;
    starts[0] = 0;
    int n = 1;
    uint64_t previous = firstDark_ ? 0x80 : 0;  // pixel 0 is no change
    int x = 0;
    for (; x + 16 <= width_; x += 16) {  // two words a round, for long runs
        uint64_t words[2];
        std::memcpy(words, row + x, sizeof words);
        const uint64_t dark0 = NonZeroBytes(words[0]), dark1 = NonZeroBytes(words[1]);
        uint64_t change0 = dark0 ^ ((dark0 << 8) | previous);
        uint64_t change1 = dark1 ^ ((dark1 << 8) | (dark0 >> 56));
        previous = dark1 >> 56;
        if ((change0 | change1) == 0) continue;
        for (; change0 != 0; change0 &= change0 - 1) starts[n++] = x + std::countr_zero(change0) / 8;
        for (; change1 != 0; change1 &= change1 - 1) starts[n++] = x + 8 + std::countr_zero(change1) / 8;
    }
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
