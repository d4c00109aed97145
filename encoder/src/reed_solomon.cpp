#include "reed_solomon.h"

#include "common/gf256.h"
#include "common/qr_tables.h"

namespace mosaire {

namespace {
constexpr int kMaxBlocks = 81;
}  // namespace

void BlockErrorCorrection(const uint8_t* data, int k, int e, uint8_t* ec) {
    const auto& exp = qrcommon::kGf.exp;
    const auto& log = qrcommon::kGf.log;
    const auto& g = qrcommon::kGenerators[e].coef;
    // Logarithms of the generator coefficients, so a product is one addition.
    int logG[kMaxEcPerBlock + 1];
    for (int i = 0; i < e; ++i) logG[i] = g[i] == 0 ? -1 : log[g[i]];

    // cell[i] is the coefficient of x^i of the running remainder.
    uint8_t cell[kMaxEcPerBlock] = {};
    for (int n = 0; n < k; ++n) {
        const uint8_t f = data[n] ^ cell[e - 1];
        if (f == 0) {
            for (int i = e - 1; i >= 1; --i) cell[i] = cell[i - 1];
            cell[0] = 0;
            continue;
        }
        const int logF = log[f];
        const auto times = [&](int i) -> uint8_t {
            return logG[i] < 0 ? 0 : exp[(logF + logG[i]) % 255];
        };
        for (int i = e - 1; i >= 1; --i) cell[i] = cell[i - 1] ^ times(i);
        cell[0] = times(0);
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
