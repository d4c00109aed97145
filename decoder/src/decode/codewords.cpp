// Removal of the data mask, reading of the codewords in placement order,
// splitting into Reed-Solomon blocks, correction, and compaction to the data
// codewords of all blocks in block order.
#include <cstring>
#include <memory>
#include <new>

#include "common/mask_pattern.h"
#include "common/qr_tables.h"
#include "symbol_search.h"

namespace lectavo {
namespace {

constexpr uint8_t kFunctionFlag = 0x10;

// Reads `totalCodewords` codewords along the placement path: two-column
// strips from the right edge, up first, then alternating, skipping the
// vertical timing column and every function cell.
void ReadPlacementOrder(const uint8_t* grid, int side, int totalCodewords, uint8_t* raw) {
    const int totalBits = totalCodewords * 8;
    int bit = 0;
    bool upwards = true;
    for (int right = side - 1; right >= 1 && bit < totalBits; right -= 2) {
        if (right == 6) right = 5;
        for (int step = 0; step < side && bit < totalBits; ++step) {
            const int row = upwards ? side - 1 - step : step;
            for (int col = right; col >= right - 1 && bit < totalBits; --col) {
                const uint8_t cell = grid[col * kMaxSide + row];
                if (cell & kFunctionFlag) continue;
                if (cell != 0) raw[bit >> 3] |= static_cast<uint8_t>(0x80u >> (bit & 7));
                ++bit;
            }
        }
        upwards = !upwards;
    }
}

// Writes the blocks one after another into `area`, each as its data
// codewords followed by its check codewords.
void Deinterleave(const qrcommon::BlockRow& row, int dataCodewords, const uint8_t* raw, uint8_t* area) {
    const int c1 = row.blocks1, c2 = row.blocks2, blocks = c1 + c2;
    const int n1 = row.n1, k1 = row.k1, k2 = k1 + 1, n2 = n1 + 1;
    uint8_t* out = area;
    for (int b = 0; b < c1; ++b) {
        for (int i = 0; i < k1; ++i) *out++ = raw[b + i * blocks];
        for (int i = 0; i < n1 - k1; ++i) *out++ = raw[dataCodewords + b + i * blocks];
    }
    for (int b = 0; b < c2; ++b) {
        for (int i = 0; i < k1; ++i) *out++ = raw[c1 + b + i * blocks];
        for (int i = k1; i < k2; ++i) *out++ = raw[k1 * blocks + b + (i - k1) * c2];
        for (int i = 0; i < n2 - k2; ++i) *out++ = raw[dataCodewords + c1 + b + i * blocks];
    }
}

}  // namespace

void UnmaskGrid(SymbolSearch& search, int side, int mask) {
    if (side < 0 || side > kMaxSide || mask < 0 || mask > 7) return;
    uint8_t* grid = search.reading.grid;
    for (int j = 0; j < side; ++j)
        for (int i = 0; i < side; ++i) {
            uint8_t& cell = grid[j * kMaxSide + i];
            if (!(cell & kFunctionFlag) && qrcommon::MaskApplies(mask, i, j)) cell ^= 1;
        }
}

bool ExtractCodewords(SymbolSearch& search, int version, int side, int level) {
    CodewordArea& area = search.codewords;
    std::memset(area.bytes, 0, sizeof(area.bytes));
    area.count = 0;
    if (version < 1 || version > 40 || level < 0 || level > 3 || side != qrcommon::SymbolSide(version)) return false;

    std::unique_ptr<uint8_t[]> raw(new (std::nothrow) uint8_t[kMaxCodewords]());
    if (!raw) {
        search.outOfMemory = true;
        return false;
    }
    const qrcommon::BlockRow& row = qrcommon::kBlockTable[version][level];
    const int dataCodewords = qrcommon::DataCodewords(version, level);
    ReadPlacementOrder(search.reading.grid, side, qrcommon::kTotalCodewords[version], raw.get());
    Deinterleave(row, dataCodewords, raw.get(), area.bytes);
    raw.reset();

    uint8_t* block = area.bytes;
    for (int b = 0; b < row.blocks1 + row.blocks2; ++b) {
        const bool second = b >= row.blocks1;
        const int n = row.n1 + (second ? 1 : 0);
        const int k = row.k1 + (second ? 1 : 0);
        if (!CorrectBlock(search, n, k, block, row.t)) return false;
        block += n;
    }

    // Move each block's data codewords to the front, in block order.
    uint8_t* source = area.bytes;
    uint8_t* target = area.bytes;
    for (int b = 0; b < row.blocks1 + row.blocks2; ++b) {
        const bool second = b >= row.blocks1;
        const int n = row.n1 + (second ? 1 : 0);
        const int k = row.k1 + (second ? 1 : 0);
        std::memmove(target, source, static_cast<size_t>(k));
        target += k;
        source += n;
    }
    area.count = dataCodewords;
    return true;
}

}  // namespace lectavo
