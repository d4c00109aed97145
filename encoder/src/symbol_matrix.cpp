#include "symbol_matrix.h"

#include <cstring>

#include "common/bch.h"
#include "common/mask_pattern.h"
#include "common/qr_tables.h"
#include "common/symbol_layout.h"

namespace mosaire {

namespace {

// Level code of the format information: L = 01, M = 00, Q = 11, H = 10.

void Fill(ModuleMatrix& m, int top, int left, int rows, int cols, uint8_t value) {
    for (int r = top; r < top + rows; ++r) std::memset(&m.value[r][left], value, static_cast<size_t>(cols));
}

// Concentric squares of edge `size` (7 finder, 5 alignment): dark ring, light
// ring, dark centre.
void PutRingPattern(ModuleMatrix& m, int top, int left, int size) {
    Fill(m, top, left, size, size, 1);
    Fill(m, top + 1, left + 1, size - 2, size - 2, 0);
    Fill(m, top + 2, left + 2, size - 4, size - 4, 1);
}

}  // namespace

void BuildFunctionPatterns(ModuleMatrix& m, int version) {
    qrcommon::FunctionMap map;
    qrcommon::BuildFunctionMap(version, map);
    const int side = map.side;
    m.side = side;
    for (int r = 0; r < side; ++r) {
        std::memset(m.value[r], 0, static_cast<size_t>(side));
        for (int c = 0; c < side; ++c) m.isData[r][c] = map.IsFunction(r, c) ? 0 : 1;
    }

    PutRingPattern(m, 0, 0, 7);
    PutRingPattern(m, 0, side - 7, 7);
    PutRingPattern(m, side - 7, 0, 7);

    // Timing patterns: dark on even coordinates.
    for (int u = 8; u <= side - 9; u += 2) m.value[u][6] = m.value[6][u] = 1;

    const qrcommon::AlignmentRow& align = qrcommon::kAlignment[version];
    const int last = align.count - 1;
    for (int a = 0; a < align.count; ++a) {
        for (int b = 0; b < align.count; ++b) {
            if ((a == 0 && b == 0) || (a == 0 && b == last) || (a == last && b == 0)) continue;
            PutRingPattern(m, align.pos[a] - 2, align.pos[b] - 2, 5);
        }
    }

    m.value[side - 8][8] = 1;  // the dark module

    if (version >= 7) {
        const uint32_t code = qrcommon::kVersionCodes[version];
        for (int bit = 0; bit < qrcommon::kVersionBits; ++bit)
            for (int copy = 0; copy < 2; ++copy) {
                const qrcommon::ModulePosition p = qrcommon::VersionBitPosition(side, bit, copy);
                m.value[p.row][p.column] = (code >> bit) & 1;
            }
    }
}

uint16_t FormatWord(int level, int mask) {
    const uint32_t data =
        (static_cast<uint32_t>(qrcommon::LevelIndicator(level)) << 3) | static_cast<uint32_t>(mask & 7);
    return static_cast<uint16_t>(qrcommon::FormatCodeword(data) ^ qrcommon::kFormatMask);
}

void WriteFormatInfo(ModuleMatrix& m, int level, int mask) {
    const uint16_t word = FormatWord(level, mask);
    for (int bit = 0; bit < qrcommon::kFormatBits; ++bit) {
        const uint8_t v = (word >> bit) & 1;
        for (int copy = 0; copy < 2; ++copy) {
            const qrcommon::ModulePosition p = qrcommon::FormatBitPosition(m.side, bit, copy);
            m.value[p.row][p.column] = v;
        }
    }
}

void PlaceCodewords(ModuleMatrix& m, const uint8_t* codewords, int count) {
    const int totalBits = 8 * count;
    int bit = 0;
    const auto isFunction = [&m](int row, int column) { return !m.isData[row][column]; };
    qrcommon::ForEachPlacementModule(m.side, isFunction, [&](int row, int column) {
        if (bit >= totalBits) return;
        m.value[row][column] = (codewords[bit >> 3] >> (7 - (bit & 7))) & 1;
        ++bit;
    });
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
