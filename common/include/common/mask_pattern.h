// The eight data-mask conditions of ISO/IEC 18004, shared by encoder and decoder.
#pragma once

namespace qrcommon {

// True where mask reference `mask` (0-7) inverts the module at row i, column j.
inline constexpr bool MaskApplies(int mask, int i, int j) {
    switch (mask) {
        case 0:
            return (i + j) % 2 == 0;
        case 1:
            return i % 2 == 0;
        case 2:
            return j % 3 == 0;
        case 3:
            return (i + j) % 3 == 0;
        case 4:
            return (i / 2 + j / 3) % 2 == 0;
        case 5:
            return (i * j) % 2 + (i * j) % 3 == 0;
        case 6:
            return ((i * j) % 2 + (i * j) % 3) % 2 == 0;
        case 7:
            return ((i + j) % 2 + (i * j) % 3) % 2 == 0;
        default:
            return false;
    }
}

}  // namespace qrcommon
