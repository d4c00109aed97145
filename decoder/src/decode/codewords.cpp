// Removal of the data mask, reading of the codewords in placement order,
// splitting into Reed-Solomon blocks, correction, and compaction to the data
// codewords of all blocks in block order.
#include "decode/codewords.h"

#include <algorithm>
#include <cstring>

#include "common/qr_tables.h"
#include "decode/placement_order.h"
#include "decode/rs_decoder.h"

namespace lectavo {
namespace {

// Codeword c of a grid: bits 8c .. 8c + 7 of the placement order, each with
// the grid's mask removed, the first bit the most significant.
class CodewordReader {
public:
    CodewordReader(const SampledGrid& grid, const PlacementOrder& order)
        : modules_(grid.modules.data()),
          index_(order.modules.data()),
          masks_(order.masks.data()),
          mask_(static_cast<unsigned>(grid.mask)),
          count_(static_cast<int>(order.modules.size() / 8)) {}

    int Count() const { return count_; }

    // Without branches: the module bits of a misread grid are as good as random.
    uint8_t operator()(int c) const {
        const uint16_t* index = index_ + 8 * c;
        const uint8_t* masks = masks_ + 8 * c;
        unsigned byte = 0;
        for (int b = 0; b < 8; ++b) {
            const unsigned dark = modules_[index[b]] != 0 ? 1u : 0u;
            byte = (byte << 1) | (dark ^ ((masks[b] >> mask_) & 1u));
        }
        return static_cast<uint8_t>(byte);
    }

private:
    const uint8_t* modules_;
    const uint16_t* index_;
    const uint8_t* masks_;
    unsigned mask_;
    int count_;
};

bool ValidGrid(const SampledGrid& grid) {
    const int version = (grid.side - 17) / 4;
    return qrcommon::ValidVersion(version) && grid.side == qrcommon::SymbolSide(version) && grid.mask >= 0 &&
           grid.mask <= 7;
}

}  // namespace

void ReadPlacementOrder(const SampledGrid& grid, int codewordCount, uint8_t* raw) {
    if (!ValidGrid(grid)) return;
    const CodewordReader read(grid, PlacementOrderOf((grid.side - 17) / 4));
    const int codewords = std::min(codewordCount, read.Count());
    for (int c = 0; c < codewords; ++c) raw[c] |= read(c);
}

bool ExtractCodewords(const SampledGrid& grid, DataStream& out) {
    out.count = 0;
    const int version = grid.version, level = grid.level;
    if (!qrcommon::ValidVersion(version) || level < 0 || level > 3 || !ValidGrid(grid) ||
        grid.side != qrcommon::SymbolSide(version))
        return false;

    // Each block is read straight from the grid in its interleaved order and
    // corrected before the next is read, so a misread grid usually fails
    // after reading one block.
    const CodewordReader read(grid, PlacementOrderOf(version));
    const qrcommon::BlockRow& row = qrcommon::kBlockTable[version][level];
    const int dataCodewords = qrcommon::DataCodewords(version, level);
    const int c1 = row.blocks1, c2 = row.blocks2, blocks = c1 + c2;
    const int n1 = row.n1, k1 = row.k1;
    uint8_t* block = out.bytes;
    for (int b = 0; b < blocks; ++b) {
        const bool second = b >= c1;
        const int n = n1 + (second ? 1 : 0);
        const int k = k1 + (second ? 1 : 0);
        uint8_t* word = block;
        for (int i = 0; i < k1; ++i) *word++ = read(b + i * blocks);
        if (second) *word++ = read(k1 * blocks + (b - c1));
        for (int i = 0; i < n - k; ++i) *word++ = read(dataCodewords + b + i * blocks);
        if (!CorrectBlock(n, k, block, row.t)) return false;
        block += n;
    }

    // Move each block's data codewords to the front, in block order.
    uint8_t* source = out.bytes;
    uint8_t* target = out.bytes;
    for (int b = 0; b < blocks; ++b) {
        const bool second = b >= c1;
        const int n = n1 + (second ? 1 : 0);
        const int k = k1 + (second ? 1 : 0);
        std::memmove(target, source, static_cast<size_t>(k));
        target += k;
        source += n;
    }
    out.count = dataCodewords;
    return true;
}

}  // namespace lectavo
