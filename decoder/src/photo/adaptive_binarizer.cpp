#include "photo/adaptive_binarizer.h"

#include <algorithm>
#include <cstdint>
#include <vector>

namespace lectavo::photo {
namespace {

constexpr int kBlock = 8;
constexpr int kReach = 2;         // blocks on each side of the centre block
constexpr int kMinContrast = 24;  // below this a block is flat

// The largest grey range of a block that counts as flat. JPEG noise and
// texture grow with the light, so a dim block (a symbol in the shadow of a
// bright spot, paper at grey 20) shows its ink with a range far below what
// noise reaches on white paper.
int FlatRange(int light) { return std::clamp(light / 4, 12, kMinContrast); }

// Each column's sum, minimum and maximum over kBlock rows from `first`:
// whole rows at a time, which the compiler vectorises.
struct ColumnLanes {
    std::vector<uint8_t> low, high;
    std::vector<uint16_t> sum;

    void Fill(const uint8_t* first, int width) {
        low.assign(first, first + width);
        high.assign(first, first + width);
        sum.assign(first, first + width);
        for (int y = 1; y < kBlock; ++y) Add(first + static_cast<size_t>(y) * width, width);
    }
    // Sum, minimum and maximum of the block of columns x0 .. x0 + kBlock - 1.
    void Block(int x0, int& total, int& lo, int& hi) const {
        total = 0, lo = 255, hi = 0;
        for (int x = x0; x < x0 + kBlock; ++x) {
            total += sum[x];
            lo = std::min(lo, static_cast<int>(low[x]));
            hi = std::max(hi, static_cast<int>(high[x]));
        }
    }

private:
    void Add(const uint8_t* row, int width) {
        uint8_t* l = low.data();
        uint8_t* h = high.data();
        uint16_t* s = sum.data();
        for (int x = 0; x < width; ++x) {
            l[x] = std::min(l[x], row[x]);
            h[x] = std::max(h[x], row[x]);
            s[x] = static_cast<uint16_t>(s[x] + row[x]);
        }
    }
};

// Threshold of each block from its own minimum, maximum and mean, pixels
// from `glare` up left out; -1 for a block of such pixels only.
void BlockThresholds(const GreyView& grey, bool inverted, int glare, int blocksX, int blocksY, std::vector<int>& out) {
    out.assign(static_cast<size_t>(blocksX) * blocksY, 0);
    ColumnLanes lanes;
    for (int by = 0; by < blocksY; ++by) {
        const int y0 = std::min(by * kBlock, grey.height - kBlock);
        lanes.Fill(grey.pixels + static_cast<size_t>(y0) * grey.width, grey.width);
        for (int bx = 0; bx < blocksX; ++bx) {
            const int x0 = std::min(bx * kBlock, grey.width - kBlock);
            // Raw grey first (from the column lanes); the few blocks
            // holding glare are summed again without it.
            int sum = 0, count = kBlock * kBlock, lo = 255, hi = 0;
            lanes.Block(x0, sum, lo, hi);
            if (hi >= glare) {
                sum = count = 0, lo = 255, hi = 0;
                for (int y = y0; y < y0 + kBlock; ++y) {
                    const uint8_t* row = grey.pixels + static_cast<size_t>(y) * grey.width + x0;
                    for (int x = 0; x < kBlock; ++x)
                        if (row[x] < glare) {
                            sum += row[x];
                            ++count;
                            lo = std::min(lo, static_cast<int>(row[x]));
                            hi = std::max(hi, static_cast<int>(row[x]));
                        }
                }
            }
            const int light = hi;  // the block's brightest grey (not glare)
            if (inverted && count > 0) {
                sum = 255 * count - sum;
                const int raw = lo;
                lo = 255 - hi, hi = 255 - raw;
            }
            int& threshold = out[static_cast<size_t>(by) * blocksX + bx];
            if (count == 0) {
                threshold = -1;
                continue;
            }
            threshold = sum / count;
            if (hi - lo <= FlatRange(light)) {
                // Flat: light ground unless the neighbours already saw darker ink around it.
                threshold = lo / 2;
                if (bx > 0 && by > 0) {
                    const int* up = &out[static_cast<size_t>(by - 1) * blocksX + bx];
                    const int left = out[static_cast<size_t>(by) * blocksX + bx - 1];
                    if (up[0] >= 0 && left >= 0 && up[-1] >= 0) {
                        const int neighbours = (up[0] + 2 * left + up[-1]) / 4;
                        if (lo < neighbours) threshold = neighbours;
                    }
                }
            }
        }
    }
}

// One row of bits: dark where grey <= limit (>= on the inverted plane).
// Plain values and pointers only, so nothing the stores could alias is
// reloaded and the loops vectorise.
void CompareRow(const uint8_t* in, const int16_t* limit, int width, bool inverted, uint8_t* bit) {
    if (inverted)
        for (int x = 0; x < width; ++x) bit[x] = in[x] >= limit[x] ? 1 : 0;
    else
        for (int x = 0; x < width; ++x) bit[x] = in[x] <= limit[x] ? 1 : 0;
}

// One row of a reduced copy from its band's column sums: the rounded mean
// of `factor` x `factor` pixels each.
void BoxRow(const uint32_t* columns, int w, int factor, uint8_t* out) {
    const int area = factor * factor;
    for (int x = 0; x < w; ++x) {
        int sum = 0;
        for (int dx = 0; dx < factor; ++dx) sum += static_cast<int>(columns[static_cast<size_t>(x) * factor + dx]);
        out[x] = static_cast<uint8_t>((sum + area / 2) / area);
    }
}
template <int kFactor>
void BoxRow(const uint32_t* columns, int w, uint8_t* out) {
    constexpr int kArea = kFactor * kFactor;
    for (int x = 0; x < w; ++x) {
        int sum = 0;
        for (int dx = 0; dx < kFactor; ++dx) sum += static_cast<int>(columns[static_cast<size_t>(x) * kFactor + dx]);
        out[x] = static_cast<uint8_t>((sum + kArea / 2) / kArea);
    }
}

}  // namespace

int GlareLevel(const GreyView& grey) {
    if (!grey.pixels || grey.width <= 0 || grey.height <= 0) return kNoGlare;
    // Every fourth pixel of every fourth row.
    uint32_t histogram[256] = {};
    uint32_t count = 0;
    for (int y = 0; y < grey.height; y += 4) {
        const uint8_t* row = grey.pixels + static_cast<size_t>(y) * grey.width;
        for (int x = 0; x < grey.width; x += 4) ++histogram[row[x]];
        count += static_cast<uint32_t>((grey.width + 3) / 4);
    }
    // The light parts: the level 90 % of the sample stay at or below.
    uint32_t below = 0;
    int light = 0;
    while (light < 255 && (below += histogram[light]) * 10ull < count * 9ull) ++light;
    return light < kDimLight ? std::max(2 * light, kDimLight) : kNoGlare;
}

void BinarizeAdaptive(const GreyView& grey, bool inverted, BinaryPicture& out, int glare) {
    out.width = grey.width;
    out.height = grey.height;
    out.inverted = inverted;
    const size_t size = static_cast<size_t>(std::max(grey.width, 0)) * std::max(grey.height, 0);
    if (!grey.pixels || grey.width < kBlock || grey.height < kBlock) {
        out.bits.assign(size, 0);
        return;
    }
    out.bits.resize(size);  // every pixel is written below
    const int blocksX = (grey.width + kBlock - 1) / kBlock, blocksY = (grey.height + kBlock - 1) / kBlock;
    std::vector<int> thresholds;
    BlockThresholds(grey, inverted, glare, blocksX, blocksY, thresholds);
    // Per block row: each block column's threshold sum and count over the
    // 2 kReach + 1 block rows, then each pixel's limit in raw grey, so the
    // pixel loops are plain comparisons the compiler vectorises.
    std::vector<int> columnSum(static_cast<size_t>(blocksX)), columnCount(static_cast<size_t>(blocksX));
    std::vector<int16_t> limit(static_cast<size_t>(grey.width));
    for (int by = 0; by < blocksY; ++by) {
        const int cy0 = std::clamp(by - kReach, 0, std::max(0, blocksY - 1 - 2 * kReach));
        const int cy1 = std::min(blocksY - 1, cy0 + 2 * kReach);
        std::fill(columnSum.begin(), columnSum.end(), 0);
        std::fill(columnCount.begin(), columnCount.end(), 0);
        for (int y = cy0; y <= cy1; ++y)
            for (int x = 0; x < blocksX; ++x) {
                const int t = thresholds[static_cast<size_t>(y) * blocksX + x];
                columnSum[x] += t >= 0 ? t : 0;
                columnCount[x] += t >= 0;
            }
        for (int bx = 0; bx < blocksX; ++bx) {
            const int cx0 = std::clamp(bx - kReach, 0, std::max(0, blocksX - 1 - 2 * kReach));
            const int cx1 = std::min(blocksX - 1, cx0 + 2 * kReach);
            int sum = 0, count = 0;
            for (int x = cx0; x <= cx1; ++x) sum += columnSum[x], count += columnCount[x];
            // Among glare blocks only: below every pixel, which stays light
            // (dark on the inverted plane).
            const int threshold = count ? sum / count : (inverted ? 255 : -1);
            // Dark where grey <= threshold; inverted, where 255 - grey <= threshold.
            const int16_t raw = static_cast<int16_t>(inverted ? 255 - threshold : threshold);
            const int x1 = std::min(grey.width, (bx + 1) * kBlock);
            for (int x = bx * kBlock; x < x1; ++x) limit[x] = raw;
        }
        const int y1 = std::min(grey.height, (by + 1) * kBlock);
        for (int y = by * kBlock; y < y1; ++y)
            CompareRow(grey.pixels + static_cast<size_t>(y) * grey.width, limit.data(), grey.width, inverted,
                       out.bits.data() + static_cast<size_t>(y) * grey.width);
    }
}

GreyView Reduce(const GreyView& grey, int factor, std::vector<uint8_t>& storage) {
    if (factor <= 1 || !grey.pixels) return grey;
    const int w = grey.width / factor, h = grey.height / factor;
    storage.assign(static_cast<size_t>(std::max(w, 0)) * std::max(h, 0), 0);
    // Column sums of each band of `factor` rows first (one pass a row, which
    // the compiler vectorises), then `factor` of them per output pixel: the
    // same sums as adding each box pixel by pixel.
    std::vector<uint32_t> columns(static_cast<size_t>(std::max(w, 0)) * factor);
    for (int y = 0; y < h; ++y) {
        const uint8_t* first = grey.pixels + static_cast<size_t>(y) * factor * grey.width;
        const size_t used = columns.size();
        for (size_t x = 0; x < used; ++x) columns[x] = first[x];
        for (int dy = 1; dy < factor; ++dy) {
            const uint8_t* row = first + static_cast<size_t>(dy) * grey.width;
            for (size_t x = 0; x < used; ++x) columns[x] += row[x];
        }
        uint8_t* out = storage.data() + static_cast<size_t>(y) * w;
        switch (factor) {  // the factors used, with the box width known to the compiler
            case 2:
                BoxRow<2>(columns.data(), w, out);
                break;
            case 4:
                BoxRow<4>(columns.data(), w, out);
                break;
            case 8:
                BoxRow<8>(columns.data(), w, out);
                break;
            default:
                BoxRow(columns.data(), w, factor, out);
        }
    }
    return GreyView{storage.data(), w, h};
}

GreyView Enlarge(const GreyView& grey, std::vector<uint8_t>& storage) {
    if (!grey.pixels || grey.width <= 0 || grey.height <= 0) return grey;
    const int w = grey.width * 2, h = grey.height * 2;
    storage.assign(static_cast<size_t>(w) * h, 0);
    // Output pixel centre (x + 0.5) / 2 - 0.5 in source pixels: a quarter
    // pixel before or after a source centre, so the second neighbour weighs
    // 1 or 3 quarters along each axis. Rows are blended first, into a row
    // padded with a copy of its end pixels either side (the edge clamps),
    // then columns; the sum is the same as blending columns first.
    std::vector<int> blended(static_cast<size_t>(grey.width) + 2);
    const auto row = [&](int y) {
        return grey.pixels + static_cast<size_t>(std::clamp(y, 0, grey.height - 1)) * grey.width;
    };
    for (int y = 0; y < h; ++y) {
        const int sy = (y - 1) >> 1, fy = (y & 1) ? 1 : 3;  // weight of the second neighbour, in quarters
        const uint8_t* upper = row(sy);
        const uint8_t* lower = row(sy + 1);
        for (int x = 0; x < grey.width; ++x) blended[x + 1] = upper[x] * (4 - fy) + lower[x] * fy;
        blended[0] = blended[1];
        blended[grey.width + 1] = blended[grey.width];
        uint8_t* out = storage.data() + static_cast<size_t>(y) * w;
        for (int x = 0; x < w; ++x) {
            const int sx = (x - 1) >> 1, fx = (x & 1) ? 1 : 3;
            out[x] = static_cast<uint8_t>((blended[sx + 1] * (4 - fx) + blended[sx + 2] * fx + 8) / 16);
        }
    }
    return GreyView{storage.data(), w, h};
}

}  // namespace lectavo::photo
