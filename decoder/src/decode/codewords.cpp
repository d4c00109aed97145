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

void ReadPlacementOrder(const SampledGrid& grid, int codewordCount, uint8_t* raw) {
    const int version = (grid.side - 17) / 4;
    if (!qrcommon::ValidVersion(version) || grid.side != qrcommon::SymbolSide(version) || grid.mask < 0 ||
        grid.mask > 7)
        return;
    const PlacementOrder& order = PlacementOrderOf(version);
    const int codewords = std::min(codewordCount, static_cast<int>(order.modules.size() / 8));
    const uint8_t* modules = grid.modules.data();
    const uint16_t* index = order.modules.data();
    const uint8_t* masks = order.masks.data();
    const unsigned mask = static_cast<unsigned>(grid.mask);
    // Without branches: the module bits are as good as random.
    for (int c = 0; c < codewords; ++c) {
        unsigned byte = 0;
        for (int b = 0; b < 8; ++b, ++index, ++masks) {
            const unsigned dark = modules[*index] != 0 ? 1u : 0u;
            byte = (byte << 1) | (dark ^ ((*masks >> mask) & 1u));
        }
        raw[c] |= static_cast<uint8_t>(byte);
    }
}

bool ExtractCodewords(const SampledGrid& grid, DataStream& out) {
    out.count = 0;
    const int version = grid.version, level = grid.level;
    if (!qrcommon::ValidVersion(version) || level < 0 || level > 3 || grid.mask < 0 || grid.mask > 7 ||
        grid.side != qrcommon::SymbolSide(version))
        return false;

    const int totalCodewords = qrcommon::kTotalCodewords[version];
    uint8_t raw[kMaxCodewords];
    std::memset(raw, 0, static_cast<size_t>(totalCodewords));
    const qrcommon::BlockRow& row = qrcommon::kBlockTable[version][level];
    const int dataCodewords = qrcommon::DataCodewords(version, level);
    ReadPlacementOrder(grid, totalCodewords, raw);
    Deinterleave(row, dataCodewords, raw, out.bytes);

    uint8_t* block = out.bytes;
    for (int b = 0; b < row.blocks1 + row.blocks2; ++b) {
        const bool second = b >= row.blocks1;
        const int n = row.n1 + (second ? 1 : 0);
        const int k = row.k1 + (second ? 1 : 0);
        if (!CorrectBlock(n, k, block, row.t)) return false;
        block += n;
    }

    // Move each block's data codewords to the front, in block order.
    uint8_t* source = out.bytes;
    uint8_t* target = out.bytes;
    for (int b = 0; b < row.blocks1 + row.blocks2; ++b) {
        const bool second = b >= row.blocks1;
        const int n = row.n1 + (second ? 1 : 0);
        const int k = row.k1 + (second ? 1 : 0);
        std::memmove(target, source, static_cast<size_t>(k));
        target += k;
        source += n;
    }
    out.count = dataCodewords;
    return true;
}

}  // namespace lectavo
