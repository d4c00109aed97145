#include "symbol_matrix.h"

#include <cstring>

#include "common/bch.h"
#include "common/mask_pattern.h"
#include "common/qr_tables.h"

namespace mosaire {

namespace {

// Level code of the format information: L = 01, M = 00, Q = 11, H = 10.
constexpr uint32_t kLevelCode[4] = {1, 0, 3, 2};

void Fill(ModuleMatrix& m, int top, int left, int rows, int cols, uint8_t value, uint8_t isData) {
    for (int r = top; r < top + rows; ++r) {
        std::memset(&m.value[r][left], value, static_cast<size_t>(cols));
        std::memset(&m.isData[r][left], isData, static_cast<size_t>(cols));
    }
}

// Concentric squares of edge `size` (7 finder, 5 alignment): dark ring, light
// ring, dark centre, marked as function modules.
void PutRingPattern(ModuleMatrix& m, int top, int left, int size) {
    Fill(m, top, left, size, size, 1, 0);
    Fill(m, top + 1, left + 1, size - 2, size - 2, 0, 0);
    Fill(m, top + 2, left + 2, size - 4, size - 4, 1, 0);
}

}  // namespace

void BuildFunctionPatterns(ModuleMatrix& m, int version) {
    const int side = qrcommon::SymbolSide(version);
    m.side = side;
    Fill(m, 0, 0, side, side, 0, 1);

    // Finder corners: the 8 x 8 squares hold the pattern and its light separator.
    Fill(m, 0, 0, 8, 8, 0, 0);
    Fill(m, 0, side - 8, 8, 8, 0, 0);
    Fill(m, side - 8, 0, 8, 8, 0, 0);
    PutRingPattern(m, 0, 0, 7);
    PutRingPattern(m, 0, side - 7, 7);
    PutRingPattern(m, side - 7, 0, 7);

    for (int u = 8; u <= side - 9; ++u) {
        const uint8_t dark = (u % 2 == 0) ? 1 : 0;
        m.value[u][6] = m.value[6][u] = dark;
        m.isData[u][6] = m.isData[6][u] = 0;
    }

    const qrcommon::AlignmentRow& align = qrcommon::kAlignment[version];
    const int last = align.count - 1;
    for (int a = 0; a < align.count; ++a) {
        for (int b = 0; b < align.count; ++b) {
            if ((a == 0 && b == 0) || (a == 0 && b == last) || (a == last && b == 0)) continue;
            PutRingPattern(m, align.pos[a] - 2, align.pos[b] - 2, 5);
        }
    }

    // Format areas (the modules already inside the corner squares included).
    for (int i = 0; i <= 8; ++i) {
        m.isData[i][8] = 0;
        m.isData[8][i] = 0;
    }
    for (int i = side - 8; i < side; ++i) {
        m.isData[i][8] = 0;
        m.isData[8][i] = 0;
    }
    m.value[side - 8][8] = 1;

    if (version >= 7) {
        const uint32_t code = qrcommon::kVersionCodes[version];
        for (int k = 0; k < 18; ++k) {
            const uint8_t bit = (code >> k) & 1;
            const int a = k / 3;
            const int b = side - 11 + k % 3;
            m.value[a][b] = m.value[b][a] = bit;
            m.isData[a][b] = m.isData[b][a] = 0;
        }
    }
}

uint16_t FormatWord(int level, int mask) {
    const uint32_t data = (kLevelCode[level & 3] << 3) | static_cast<uint32_t>(mask & 7);
    return static_cast<uint16_t>(qrcommon::FormatCodeword(data) ^ qrcommon::kFormatMask);
}

ModulePos FormatBitPosition(int side, int bit, int copy) {
    if (copy == 0) {
        if (bit >= 9) return {8, 14 - bit};
        if (bit == 8) return {8, 7};
        if (bit == 7) return {8, 8};
        if (bit == 6) return {7, 8};
        return {bit, 8};
    }
    if (bit >= 8) return {side - 15 + bit, 8};
    return {8, side - 1 - bit};
}

void WriteFormatInfo(ModuleMatrix& m, int level, int mask) {
    const uint16_t word = FormatWord(level, mask);
    for (int bit = 0; bit < 15; ++bit) {
        const uint8_t v = (word >> bit) & 1;
        for (int copy = 0; copy < 2; ++copy) {
            const ModulePos p = FormatBitPosition(m.side, bit, copy);
            m.value[p.row][p.col] = v;
        }
    }
}

void PlaceCodewords(ModuleMatrix& m, const uint8_t* codewords, int count) {
    const int side = m.side;
    const int totalBits = 8 * count;
    int bit = 0;
    bool upward = true;
    for (int right = side - 1; right >= 1; right -= 2) {
        if (right == 6) right = 5;  // the vertical timing pattern is skipped
        for (int step = 0; step < side; ++step) {
            const int row = upward ? side - 1 - step : step;
            for (int col = right; col >= right - 1; --col) {
                if (!m.isData[row][col]) continue;
                if (bit < totalBits) {
                    m.value[row][col] = (codewords[bit >> 3] >> (7 - (bit & 7))) & 1;
                    ++bit;
                }
            }
        }
        upward = !upward;
    }
}

bool MaskCondition(int mask, int i, int j) { return qrcommon::MaskApplies(mask, i, j); }

void ApplyMask(ModuleMatrix& m, int mask) {
    // The conditions repeat every 12 rows and 12 columns.
    uint8_t pattern[12][12];
    for (int i = 0; i < 12; ++i)
        for (int j = 0; j < 12; ++j) pattern[i][j] = MaskCondition(mask, i, j) ? 1 : 0;
    for (int i = 0; i < m.side; ++i) {
        const uint8_t* p = pattern[i % 12];
        for (int j = 0, jm = 0; j < m.side; ++j, jm = (jm == 11 ? 0 : jm + 1)) m.value[i][j] ^= p[jm] & m.isData[i][j];
    }
}

}  // namespace mosaire
