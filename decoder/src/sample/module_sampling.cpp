#include "sample/module_sampling.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <cstring>

#include "common/qr_tables.h"
#include "core/geometry.h"

namespace lectavo {

namespace {

struct Offset {
    int x, y;
};

// Ring 0, then rings 1-3 each from (-r, -r) clockwise round the square.
constexpr std::array<Offset, 49> MakeSpiral() {
    std::array<Offset, 49> s{};
    int n = 0;
    s[n++] = {0, 0};
    for (int r = 1; r <= 3; ++r) {
        for (int x = -r; x <= r; ++x) s[n++] = {x, -r};
        for (int y = -r + 1; y <= r; ++y) s[n++] = {r, y};
        for (int x = r - 1; x >= -r; --x) s[n++] = {x, r};
        for (int y = r - 1; y > -r; --y) s[n++] = {-r, y};
    }
    return s;
}

constexpr std::array<Offset, 49> kSpiral = MakeSpiral();

// The steps of the ring test: for each of the eight directions of the
// 3 x 3 neighbourhood, 1.0, 1.4 and 0.6 module steps.
struct RingSteps {
    PointF step[8][3];

    explicit RingSteps(const ReadingArea& area) {
        int n = 0;
        for (int a = -1; a <= 1; ++a)
            for (int b = -1; b <= 1; ++b) {
                if (a == 0 && b == 0) continue;
                const PointF d = static_cast<float>(a) * area.u + static_cast<float>(b) * area.v;
                step[n][0] = 1.0f * d;
                step[n][1] = 1.4f * d;
                step[n][2] = 0.6f * d;
                ++n;
            }
    }
};

// A dark pixel at q with no direction of the 3 x 3 neighbourhood dark at
// 1.0, 1.4 and 0.6 module steps: a dark centre inside a light ring.
bool LooksLikeAlignmentCentre(const BinaryPlane& plane, const RingSteps& ring, PointF q) {
    if (!IsDarkAt(plane, q)) return false;
    for (const auto& steps : ring.step)
        if (IsDarkAt(plane, q + steps[0]) && IsDarkAt(plane, q + steps[1]) && IsDarkAt(plane, q + steps[2]))
            return false;
    return true;
}

// Middle of the dark run through (position, across) along one axis, looking
// at most `reach` pixels each way; an unbounded side keeps the start index.
float RunMiddle(const BinaryPlane& plane, int position, int across, float reach, bool horizontal) {
    const auto dark = [&](int i) { return horizontal ? plane.Pixel(i, across) : plane.Pixel(across, i); };
    int low = position, high = position;
    for (int i = position - 1; static_cast<float>(i) > static_cast<float>(position) - reach; --i)
        if (!dark(i)) {
            low = i + 1;
            break;
        }
    for (int i = position + 1; static_cast<float>(i) < static_cast<float>(position) + reach; ++i)
        if (!dark(i)) {
            high = i;
            break;
        }
    return static_cast<float>(low) + static_cast<float>(high - low) * 0.5f;
}

void CentreOnDarkRun(const BinaryPlane& plane, const ReadingArea& area, PointF& p) {
    p.x = RunMiddle(plane, RoundPixel(p.x), RoundPixel(p.y), 2.0f * area.runU, true);
    p.y = RunMiddle(plane, RoundPixel(p.y), RoundPixel(p.x), 2.0f * area.runV, false);
}

// Four lanes of floats or of 32-bit masks (0 or all bits set).
using Floats = float __attribute__((vector_size(16)));
using Masks = int32_t __attribute__((vector_size(16)));

Floats LoadFloats(const float* p) {
    Floats v;
    std::memcpy(&v, p, sizeof v);
    return v;
}

Masks LoadMasks(const int32_t* p) {
    Masks v;
    std::memcpy(&v, p, sizeof v);
    return v;
}

Floats Abs(Floats v) {
    Masks bits;
    std::memcpy(&bits, &v, sizeof v);
    bits &= 0x7fffffff;
    std::memcpy(&v, &bits, sizeof v);
    return v;
}

// Lines k .. k + 3 of `band`, each through p[i] and q[i], with the float
// operations of LineThrough (a vertical line's slope and offset are 0).
void FourLinesThrough(const PointF* p, const PointF* q, LineBand& band, int k) {
    const Floats px{p[0].x, p[1].x, p[2].x, p[3].x}, py{p[0].y, p[1].y, p[2].y, p[3].y};
    const Floats qx{q[0].x, q[1].x, q[2].x, q[3].x}, qy{q[0].y, q[1].y, q[2].y, q[3].y};
    const Masks vertical = px == qx;
    const Floats slope = (qy - py) / (qx - px);
    const Floats offset = py - slope * px;
    const Floats zero{};
    const Floats keptSlope = vertical ? zero : slope, keptOffset = vertical ? zero : offset;
    std::memcpy(band.slope + k, &keptSlope, sizeof keptSlope);
    std::memcpy(band.offset + k, &keptOffset, sizeof keptOffset);
    std::memcpy(band.at + k, &px, sizeof px);
    std::memcpy(band.vertical + k, &vertical, sizeof vertical);
}

// The pixels where four row lines (their fields in lanes) cross the column
// line `column`, with exactly the float operations of IntersectLines;
// inside[i] is false where the lines do not cross or the pixel TruncPixel
// would give lies outside the plane (then px, py are 0).
inline void CrossLanes(Floats slope, Floats offset, Floats at, Masks rowVertical, const Line& column, float width,
                       float height, int32_t* px, int32_t* py, int32_t* inside) {
    Floats x, y;
    Masks crosses;
    if (column.vertical) {  // two vertical lines do not cross
        x = Floats{column.at, column.at, column.at, column.at};
        y = slope * column.at + offset;
        crosses = ~rowVertical;
    } else {
        const Floats cx = (column.offset - offset) / (slope - column.slope);
        const Floats cy =
            Abs(slope) <= std::fabs(column.slope) ? slope * cx + offset : column.slope * cx + column.offset;
        x = rowVertical ? at : cx;
        y = rowVertical ? column.slope * at + column.offset : cy;
        crosses = rowVertical | (slope != column.slope);
    }
    // Truncation maps (-1, width) to the columns 0 .. width - 1; NaN fails.
    const Masks in = crosses & (x > -1.0f) & (x < width) & (y > -1.0f) & (y < height);
    const Floats zero{};
    const Masks ix = __builtin_convertvector(in ? x : zero, Masks);
    const Masks iy = __builtin_convertvector(in ? y : zero, Masks);
    std::memcpy(px, &ix, sizeof ix);
    std::memcpy(py, &iy, sizeof iy);
    std::memcpy(inside, &in, sizeof in);
}

// Row lines k .. k + 3 of `rows` crossing `column`.
void CrossFour(const LineBand& rows, int k, const Line& column, float width, float height, int32_t* px, int32_t* py,
               int32_t* inside) {
    CrossLanes(LoadFloats(rows.slope + k), LoadFloats(rows.offset + k), LoadFloats(rows.at + k),
               LoadMasks(rows.vertical + k), column, width, height, px, py, inside);
}

// Row lines x[0 .. 3] of `rows` (in any order) crossing `column`.
void CrossFourAt(const LineBand& rows, const int* x, const Line& column, float width, float height, int32_t* px,
                 int32_t* py, int32_t* inside) {
    const Floats slope{rows.slope[x[0]], rows.slope[x[1]], rows.slope[x[2]], rows.slope[x[3]]};
    const Floats offset{rows.offset[x[0]], rows.offset[x[1]], rows.offset[x[2]], rows.offset[x[3]]};
    const Floats at{rows.at[x[0]], rows.at[x[1]], rows.at[x[2]], rows.at[x[3]]};
    const Masks vertical{rows.vertical[x[0]], rows.vertical[x[1]], rows.vertical[x[2]], rows.vertical[x[3]]};
    CrossLanes(slope, offset, at, vertical, column, width, height, px, py, inside);
}

// Bits start .. start + 63 of the map's bits, the first the lowest; bits
// past the map's storage read as 0.
uint64_t FunctionBits(const qrcommon::FunctionMap& functions, int start) {
    const size_t word = static_cast<size_t>(start >> 6);
    const int shift = start & 63;
    uint64_t bits = functions.bits[word] >> shift;
    if (shift != 0 && word + 1 < functions.bits.size()) bits |= functions.bits[word + 1] << (64 - shift);
    return bits;
}

// For eight function bits, the mask of eight bytes that keeps the bytes
// whose bit is clear (byte j for bit j).
constexpr std::array<uint64_t, 256> MakeEncodingBytes() {
    std::array<uint64_t, 256> masks{};
    for (unsigned bits = 0; bits < 256; ++bits)
        for (unsigned j = 0; j < 8; ++j)
            if (((bits >> j) & 1u) == 0) masks[bits] |= uint64_t{0xFF} << (8 * j);
    return masks;
}

constexpr std::array<uint64_t, 256> kEncodingBytes = MakeEncodingBytes();

// Samples row y's modules in columns [begin, end), which share one column
// band, into `out`: four crossings at a time, then the pixels. The last
// group may reach past `end` (the bands hold kLineLanes lines); those
// crossings are ignored.
void SampleRowSpan(const BinaryPlane& plane, const TrackLines& lines, int y, int begin, int end, uint8_t* out) {
    const Line column = lines.column[lines.band[begin]].Get(y);
    const LineBand& rows = lines.row[lines.band[y]];
    const float width = static_cast<float>(plane.width), height = static_cast<float>(plane.height);
    int32_t px[4], py[4], inside[4];
    for (int x = begin; x < end; x += 4) {
        CrossFour(rows, x, column, width, height, px, py, inside);
        const int count = std::min(4, end - x);
        for (int i = 0; i < count; ++i) out[x + i] = inside[i] && plane.Row(py[i])[px[i]] != 0 ? 1 : 0;
    }
}

}  // namespace

void RefineAlignmentCentre(const BinaryPlane& plane, const ReadingArea& area, PointF& point) {
    const RingSteps ring(area);
    for (const Offset& t : kSpiral) {
        const PointF q = point + 0.5f * (static_cast<float>(t.x) * area.u + static_cast<float>(t.y) * area.v);
        if (!LooksLikeAlignmentCentre(plane, ring, q)) continue;
        point = q;
        CentreOnDarkRun(plane, area, point);
        CentreOnDarkRun(plane, area, point);
        return;
    }
}

int AnchorList(int version, int anchors[kMaxTracks]) {
    const int side = qrcommon::SymbolSide(version);
    int count = 0;
    anchors[count++] = 0;
    if (version >= 7) {
        const qrcommon::AlignmentRow& row = qrcommon::kAlignment[version];
        for (int i = 0; i < row.count; ++i) anchors[count++] = row.pos[i];
    }
    anchors[count++] = side;
    return count;
}

void MakeTrackLines(const ReadingArea& area, const int* anchors, int anchorCount, TrackLines& lines) {
    for (int b = 0; b + 1 < anchorCount; ++b) {
        for (int v = anchors[b]; v < anchors[b + 1]; ++v) lines.band[v] = static_cast<uint8_t>(b);
        int v = 0;
        for (; v + 4 <= area.side; v += 4) {
            FourLinesThrough(area.rowTrack[b] + v, area.rowTrack[b + 1] + v, lines.row[b], v);
            FourLinesThrough(area.columnTrack[b] + v, area.columnTrack[b + 1] + v, lines.column[b], v);
        }
        for (; v < area.side; ++v) {
            lines.row[b].Set(v, LineThrough(area.rowTrack[b][v], area.rowTrack[b + 1][v]));
            lines.column[b].Set(v, LineThrough(area.columnTrack[b][v], area.columnTrack[b + 1][v]));
        }
    }
}

void SampleModules(const BinaryPlane& plane, const TrackLines& lines, const qrcommon::FunctionMap& functions,
                   SampledGrid& grid) {
    // Row by row, so that neighbouring samples fall on neighbouring pixels.
    // A row is sampled from its first to its last encoding-region module
    // (beside the finders that is a third of the row or less), function
    // modules among them with the rest, and those then cleared.
    const int side = grid.side;
    int starts[kMaxSide + 1];  // the first column of each column band, then side
    int bands = 0;
    for (int x = 0; x < side; ++x)
        if (x == 0 || lines.band[x] != lines.band[x - 1]) starts[bands++] = x;
    starts[bands] = side;
    // The function modules of a row are read from the map 64 at a time: the
    // first and last encoding-region modules from the lowest and highest
    // clear bits, the row's modules masked without a branch.
    uint8_t row[kMaxSide] = {};
    for (int y = 0; y < side; ++y) {
        int first = side, end = 0;
        for (int x0 = 0; x0 < side; x0 += 64) {
            const int count = std::min(64, side - x0);
            uint64_t encoding = ~FunctionBits(functions, y * side + x0);
            if (count < 64) encoding &= (uint64_t{1} << count) - 1;
            if (encoding == 0) continue;
            if (first == side) first = x0 + __builtin_ctzll(encoding);
            end = x0 + 64 - __builtin_clzll(encoding);
        }
        for (int b = 0; b < bands; ++b) {
            const int begin = std::max(starts[b], first), stop = std::min(starts[b + 1], end);
            if (begin < stop) SampleRowSpan(plane, lines, y, begin, stop, row);
        }
        uint8_t* out = &grid.At(y, 0);
        for (int x0 = 0; x0 < side; x0 += 64) {
            const uint64_t function = FunctionBits(functions, y * side + x0);
            const int count = std::min(64, side - x0);
            int i = 0;
            for (; i + 8 <= count; i += 8) {
                uint64_t bytes;
                std::memcpy(&bytes, row + x0 + i, sizeof bytes);
                bytes &= kEncodingBytes[(function >> i) & 0xFFu];
                std::memcpy(out + x0 + i, &bytes, sizeof bytes);
            }
            for (; i < count; ++i) out[x0 + i] = row[x0 + i] & static_cast<uint8_t>(((function >> i) & 1u) - 1u);
        }
    }
}

void SampleModuleList(const BinaryPlane& plane, const TrackLines& lines, const std::vector<uint16_t>& modules,
                      SampledGrid& grid) {
    // The list is in increasing order: the row advances without a division.
    // Up to four modules of one row and one column band are crossed at once
    // (lanes past the group repeat its first module and are ignored).
    const int side = grid.side;
    const float width = static_cast<float>(plane.width), height = static_cast<float>(plane.height);
    const size_t count = modules.size();
    int y = 0, rowStart = 0;
    int32_t px[4], py[4], inside[4];
    for (size_t i = 0; i < count;) {
        while (modules[i] >= rowStart + side) {
            ++y;
            rowStart += side;
        }
        int x[4];
        x[0] = modules[i] - rowStart;
        const uint8_t band = lines.band[x[0]];
        int n = 1;
        for (; n < 4 && i + n < count && modules[i + n] < rowStart + side; ++n) {
            x[n] = modules[i + n] - rowStart;
            if (lines.band[x[n]] != band) break;
        }
        for (int k = n; k < 4; ++k) x[k] = x[0];
        CrossFourAt(lines.row[lines.band[y]], x, lines.column[band].Get(y), width, height, px, py, inside);
        for (int k = 0; k < n; ++k)
            grid.modules[static_cast<size_t>(rowStart + x[k])] = inside[k] && plane.Row(py[k])[px[k]] != 0 ? 1 : 0;
        i += static_cast<size_t>(n);
    }
}

}  // namespace lectavo
