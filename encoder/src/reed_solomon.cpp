#include "reed_solomon.h"

#include <array>

#include "common/gf256.h"
#include "common/qr_tables.h"

namespace mosaire {

namespace {

constexpr int kMaxBlocks = 81;
constexpr int kLogZero = 512;  // stands for the logarithm of 0

// exp[i] for i = 0..509 (two periods), 0 from kLogZero on, so a product is
// one addition of logarithms and one look-up, with no reduction and no test.
constexpr std::array<uint8_t, 1024> MakeProductTable() {
    std::array<uint8_t, 1024> t{};
    for (int i = 0; i < 510; ++i) t[i] = qrcommon::kGf.exp[i % 255];
    return t;
}

constexpr std::array<uint8_t, 1024> kProduct = MakeProductTable();

}  // namespace

void BlockErrorCorrection(const uint8_t* data, int k, int e, uint8_t* ec) {
    const auto& log = qrcommon::kGf.log;
    const auto& g = qrcommon::kGenerators[e].coef;
    int logG[kMaxEcPerBlock];
    for (int i = 0; i < e; ++i) logG[i] = g[i] == 0 ? kLogZero : log[g[i]];

    // The shift register: cell[i] is the coefficient of x^i of the remainder.
    uint8_t cell[kMaxEcPerBlock] = {};
    for (int n = 0; n < k; ++n) {
        const uint8_t f = data[n] ^ cell[e - 1];
        const int logF = f == 0 ? kLogZero : log[f];
        for (int i = e - 1; i >= 1; --i) cell[i] = cell[i - 1] ^ kProduct[logF + logG[i]];
        cell[0] = kProduct[logF + logG[0]];
    }
    for (int i = 0; i < e; ++i) ec[i] = cell[e - 1 - i];
}

int InterleaveCodewords(const uint8_t* data, int version, int level, uint8_t* out) {
    const qrcommon::BlockRow& row = qrcommon::kBlockTable[version][level];
    const int blocks = row.blocks1 + row.blocks2;
    const int k = row.k1;
    const int e = row.n1 - row.k1;

    // Start of each block's data and its error-correction codewords.
    int start[kMaxBlocks];
    uint8_t ec[kMaxBlocks][kMaxEcPerBlock];
    int offset = 0;
    for (int b = 0; b < blocks; ++b) {
        const int size = b < row.blocks1 ? k : k + 1;
        start[b] = offset;
        BlockErrorCorrection(data + offset, size, e, ec[b]);
        offset += size;
    }

    int n = 0;
    for (int p = 0; p < k; ++p)
        for (int b = 0; b < blocks; ++b) out[n++] = data[start[b] + p];
    for (int b = row.blocks1; b < blocks; ++b) out[n++] = data[start[b] + k];
    for (int p = 0; p < e; ++p)
        for (int b = 0; b < blocks; ++b) out[n++] = ec[b][p];
    return n;
}

}  // namespace mosaire
