// Symbols made by our own encoder's core, as the module grids the test
// drawing takes (test_pictures.h makes them with libqrencode instead).
#pragma once

#include "encode_symbol.h"
#include "symbol_drawing.h"

namespace testpics {

inline Matrix FromModuleMatrix(const mosaire::ModuleMatrix& matrix) {
    Matrix m;
    m.side = matrix.side;
    m.dark.reserve(static_cast<size_t>(m.side) * static_cast<size_t>(m.side));
    for (int r = 0; r < m.side; ++r)
        for (int c = 0; c < m.side; ++c) m.dark.push_back(matrix.value[r][c]);
    return m;
}

}  // namespace testpics
