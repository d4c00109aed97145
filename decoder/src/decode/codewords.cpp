// Removal of the data mask, reading of the codewords in placement order,
// splitting into Reed-Solomon blocks, correction, and compaction to the data
// codewords of all blocks in block order.
#include "decode/codewords.h"

#include <algorithm>
#include <array>
#include <cstring>
#include <mutex>

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

// The raw codeword indices of block b, data codewords first (the
// de-interleaving); returns the block's length n.
int BlockIndices(const qrcommon::BlockRow& row, int dataCodewords, int b, int* indices) {
    const int c1 = row.blocks1, blocks = row.blocks1 + row.blocks2;
    const bool second = b >= c1;
    const int n = row.n1 + (second ? 1 : 0), k = row.k1 + (second ? 1 : 0);
    int m = 0;
    for (int i = 0; i < row.k1; ++i) indices[m++] = b + i * blocks;
    if (second) indices[m++] = row.k1 * blocks + (b - c1);
    for (int i = 0; i < n - k; ++i) indices[m++] = dataCodewords + b + i * blocks;
    return n;
}

std::vector<uint16_t> MakeFirstBlockModules(int version, int level) {
    const PlacementOrder& order = PlacementOrderOf(version);
    int indices[kMaxBlockLength];
    const int n =
        BlockIndices(qrcommon::kBlockTable[version][level], qrcommon::DataCodewords(version, level), 0, indices);
    std::vector<uint16_t> modules;
    modules.reserve(static_cast<size_t>(n) * 8);
    for (int c = 0; c < n; ++c)
        for (int b = 0; b < 8; ++b) modules.push_back(order.modules[static_cast<size_t>(8 * indices[c] + b)]);
    // Row by row, so that a sampler reads the picture in order.
    std::sort(modules.begin(), modules.end());
    return modules;
}

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

const std::vector<uint16_t>& FirstBlockModules(int version, int level) {
    static std::array<std::once_flag, (qrcommon::kMaxVersion + 1) * 4> built;
    static std::array<std::vector<uint16_t>, (qrcommon::kMaxVersion + 1) * 4> lists;
    const size_t key = static_cast<size_t>(version * 4 + level);
    std::call_once(built[key], [&] { lists[key] = MakeFirstBlockModules(version, level); });
    return lists[key];
}

bool Decodable(const SampledGrid& grid) {
    const int version = grid.version, level = grid.level;
    return qrcommon::ValidVersion(version) && level >= 0 && level <= 3 && ValidGrid(grid) &&
           grid.side == qrcommon::SymbolSide(version);
}

bool FirstBlockCorrectable(const SampledGrid& grid) {
    if (!Decodable(grid)) return false;
    const CodewordReader read(grid, PlacementOrderOf(grid.version));
    const qrcommon::BlockRow& row = qrcommon::kBlockTable[grid.version][grid.level];
    int indices[kMaxBlockLength];
    uint8_t block[kMaxBlockLength];
    const int n = BlockIndices(row, qrcommon::DataCodewords(grid.version, grid.level), 0, indices);
    for (int c = 0; c < n; ++c) block[c] = read(indices[c]);
    return CorrectBlock(n, row.blocks1 > 0 ? row.k1 : row.k1 + 1, block, row.t);
}

bool ExtractCodewords(const SampledGrid& grid, DataStream& out) {
    out.count = 0;
    if (!Decodable(grid)) return false;
    const int version = grid.version, level = grid.level;

    // Each block is read straight from the grid in its interleaved order and
    // corrected before the next is read, so a misread grid usually fails
    // after reading one block.
    const CodewordReader read(grid, PlacementOrderOf(version));
    const qrcommon::BlockRow& row = qrcommon::kBlockTable[version][level];
    const int dataCodewords = qrcommon::DataCodewords(version, level);
    const int c1 = row.blocks1, c2 = row.blocks2, blocks = c1 + c2;
    const int n1 = row.n1, k1 = row.k1;
    uint8_t* block = out.bytes;
    int indices[kMaxBlockLength];
    for (int b = 0; b < blocks; ++b) {
        const int n = BlockIndices(row, dataCodewords, b, indices);
        const int k = k1 + (b >= c1 ? 1 : 0);
        for (int c = 0; c < n; ++c) block[c] = read(indices[c]);
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
