// Where things sit in a symbol, shared by encoder and decoder: the side of a
// version, which modules are function modules, the order in which codeword
// bits are placed, the positions of the format and version bits, the width
// of each mode's count field and the alphanumeric character set. Every grid
// is indexed [row][column].
#pragma once

#include <algorithm>
#include <array>
#include <cstddef>
#include <cstdint>

#include "common/qr_tables.h"

namespace qrcommon {

inline constexpr int kMinVersion = 1;
inline constexpr int kMaxVersion = 40;
inline constexpr int kMaxSide = SymbolSide(kMaxVersion);

inline constexpr bool ValidVersion(int version) { return version >= kMinVersion && version <= kMaxVersion; }

struct ModulePosition {
    int row;
    int column;
};

// Function modules of one version: finders with their separators, the
// format areas (with the dark module), version areas (versions 7-40),
// alignment patterns and timing patterns. Everything else is the encoding
// region.
struct FunctionMap {
    int side = 0;
    // Bit row * side + column, 1 = function module; only the first side * side
    // bits are meaningful (Clear and BuildFunctionMap set them).
    std::array<uint64_t, (kMaxSide * kMaxSide + 63) / 64> bits;

    bool IsFunction(int row, int column) const {
        const int i = row * side + column;
        return (bits[static_cast<size_t>(i >> 6)] >> (i & 63)) & 1u;
    }
    void Set(int row, int column, bool function) {
        const int i = row * side + column;
        const uint64_t bit = uint64_t{1} << (i & 63);
        uint64_t& word = bits[static_cast<size_t>(i >> 6)];
        word = function ? (word | bit) : (word & ~bit);
    }
    // A light map of `newSide` x `newSide` modules.
    void Clear(int newSide) {
        side = newSide;
        std::fill_n(bits.begin(), (side * side + 63) / 64, uint64_t{0});
    }
    void MarkBlock(int top, int left, int rows, int columns) {
        for (int r = top; r < top + rows; ++r)
            for (int c = left; c < left + columns; ++c) Set(r, c, true);
    }
};

// Fills `map` for `version` (1-40); any other version leaves an empty map.
inline void BuildFunctionMap(int version, FunctionMap& map) {
    map.side = 0;
    if (!ValidVersion(version)) return;
    const int side = SymbolSide(version);
    map.Clear(side);

    // Finder corners: the 8 x 8 squares hold a pattern and its separator.
    map.MarkBlock(0, 0, 8, 8);
    map.MarkBlock(0, side - 8, 8, 8);
    map.MarkBlock(side - 8, 0, 8, 8);
    if (version >= 7) {
        map.MarkBlock(0, side - 11, 6, 3);
        map.MarkBlock(side - 11, 0, 3, 6);
    }
    // Format areas: beside the top-left finder, and split between the others.
    map.MarkBlock(0, 8, 9, 1);
    map.MarkBlock(8, 0, 1, 9);
    map.MarkBlock(side - 8, 8, 8, 1);
    map.MarkBlock(8, side - 8, 1, 8);

    // Alignment patterns at every pair of listed coordinates except the three
    // that fall on a finder.
    const AlignmentRow& align = kAlignment[version];
    const int last = align.count - 1;
    for (int a = 0; a < align.count; ++a)
        for (int b = 0; b < align.count; ++b) {
            if ((a == 0 && b == 0) || (a == 0 && b == last) || (a == last && b == 0)) continue;
            map.MarkBlock(align.pos[a] - 2, align.pos[b] - 2, 5, 5);
        }
    // Timing patterns on row 6 and column 6 between the separators.
    map.MarkBlock(6, 8, 1, side - 16);
    map.MarkBlock(8, 6, side - 16, 1);
}

// Visits every encoding-region module in codeword placement order: two-column
// strips from the right edge, the right column of a strip before the left,
// upwards in the first strip and alternating after, the vertical timing
// column skipped. Bit k of the codeword stream (most significant bit of
// codeword 0 first) goes to the k-th module visited; modules beyond the
// last codeword are remainder bits.
// `isFunction(row, column)` tells the function modules of a side x side symbol.
template <typename IsFunction, typename Visit>
void ForEachPlacementModule(int side, IsFunction&& isFunction, Visit&& visit) {
    bool upwards = true;
    for (int right = side - 1; right >= 1; right -= 2) {
        if (right == 6) right = 5;
        for (int step = 0; step < side; ++step) {
            const int row = upwards ? side - 1 - step : step;
            for (int column = right; column >= right - 1; --column)
                if (!isFunction(row, column)) visit(row, column);
        }
        upwards = !upwards;
    }
}

template <typename Visit>
void ForEachPlacementModule(const FunctionMap& map, Visit&& visit) {
    ForEachPlacementModule(
        map.side, [&map](int row, int column) { return map.IsFunction(row, column); }, visit);
}

// Format information: 15 bits, bit 0 least significant. Copy 0 runs round the
// top-left finder; copy 1 is split between the top-right finder (bits 0-7)
// and the bottom-left finder (bits 8-14).
// The two-bit error-correction level indicator of the format information:
// 01 L, 00 M, 11 Q, 10 H. The table maps a level (0 = L .. 3 = H) to its
// indicator and, being its own inverse, an indicator to its level.
inline constexpr int LevelIndicator(int levelOrIndicator) {
    constexpr int kSwap[4] = {1, 0, 3, 2};
    return kSwap[levelOrIndicator & 3];
}

inline constexpr int kFormatBits = 15;

inline constexpr ModulePosition FormatBitPosition(int side, int bit, int copy) {
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

// Version information (versions 7-40): 18 bits, bit 0 least significant.
// Copy 0 is the 6 x 3 block left of the top-right finder (bit k at row k / 3),
// copy 1 its transpose above the bottom-left finder.
inline constexpr int kVersionBits = 18;

inline constexpr ModulePosition VersionBitPosition(int side, int bit, int copy) {
    const int across = bit / 3, along = side - 11 + bit % 3;
    return copy == 0 ? ModulePosition{across, along} : ModulePosition{along, across};
}

// Mode indicators of the data segments.
enum class Mode { kNumeric = 1, kAlphanumeric = 2, kByte = 4, kKanji = 8 };

// Width of a segment's character-count field for versions 1-9, 10-26, 27-40.
inline constexpr int CountFieldWidth(Mode mode, int version) {
    const int group = version <= 9 ? 0 : (version <= 26 ? 1 : 2);
    constexpr int kNumeric[3] = {10, 12, 14};
    constexpr int kAlphanumeric[3] = {9, 11, 13};
    constexpr int kByte[3] = {8, 16, 16};
    constexpr int kKanji[3] = {8, 10, 12};
    switch (mode) {
        case Mode::kNumeric:
            return kNumeric[group];
        case Mode::kAlphanumeric:
            return kAlphanumeric[group];
        case Mode::kByte:
            return kByte[group];
        default:
            return kKanji[group];
    }
}

// The alphanumeric characters in value order (value = index).
inline constexpr char kAlphanumericSet[] = "0123456789ABCDEFGHIJKLMNOPQRSTUVWXYZ $%*+-./:";
inline constexpr int kAlphanumericCount = 45;

}  // namespace qrcommon
