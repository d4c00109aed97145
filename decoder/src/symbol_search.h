// Working types of one decode call: the search object shared by location,
// reading, correction and segment decoding, and the records they exchange.
#pragma once

#include <cstddef>
#include <cstdint>
#include <vector>

namespace lectavo {

struct PointF {
    float x = 0.0f;
    float y = 0.0f;
};

inline constexpr int kMaxFinders = 128;
inline constexpr int kMaxSide = 177;
inline constexpr int kMaxTracks = 9;
inline constexpr int kMaxDataBytes = 7089;
inline constexpr int kMaxCodewords = 3706;

// Corner order used for every finder's four outer corners.
enum Corner { kTopLeft = 0, kTopRight = 1, kBottomRight = 2, kBottomLeft = 3 };

struct FinderPattern {
    float x = 0.0f, y = 0.0f;  // centre in plane pixels
    int32_t used = 0;          // set once a symbol containing it was decoded
    int32_t isVirtual = 0;     // 1 when synthesised by the two-finder completion
    PointF edge[4];            // virtual only: outer boundary along phi+pi, theta, phi, theta+pi
    PointF corners[4];         // virtual only: outer corners in corner order
};

struct SymbolCandidate {
    int32_t a = 0, b = 0, c = 0;  // corner finder, second (top-right), third (bottom-left)
    PointF corners[12];           // 4 of a, 4 of b, 4 of c, each in corner order
    int32_t version = 0;          // 1-40
    int32_t level = 0;            // 0 = L, 1 = M, 2 = Q, 3 = H
    int32_t mask = 0;             // 0-7
};

// One decoded symbol. Every field not set by the reading stage is zero.
struct DecodeResult {
    int32_t version = 0;
    int32_t level = 0;
    int32_t mask = 0;
    int32_t dataLength = 0;
    uint8_t data[kMaxDataBytes + 1] = {};  // data bytes then a terminating 0
    int32_t sequencePosition = 0;
    int32_t sequenceTotal = 0;
    uint8_t sequenceParity = 0;
    int32_t corners[4][2] = {};  // TL, TR, BR, BL as (x, y)
};

// Geometry of the symbol being read (owned by the reading stage).
struct ReadingArea {
    int32_t side = 0;                // S = 4 * version + 17
    PointF rowGrowth;                // a_r
    PointF columnGrowth;             // a_c
    PointF u, v;                     // one module right / down
    float runU = 0.0f, runV = 0.0f;  // m_u, m_v
    PointF rowTrack[kMaxTracks][kMaxSide];
    PointF columnTrack[kMaxTracks][kMaxSide];
    // SampledGrid: cell (column x, row y) is byte x * kMaxSide + y; bit 0
    // module value, 0x10 function flag (function cells hold exactly 0x10).
    uint8_t grid[kMaxSide * kMaxSide];
    int32_t bottomRight[2] = {0, 0};  // estimated outer corner, pixels
};

// Output of codeword extraction: the data codewords of all blocks in block
// order (owned by the correction stage).
struct CodewordArea {
    uint8_t bytes[kMaxCodewords];
    int32_t count = 0;
};

// Created per decode call, destroyed at its end.
struct SymbolSearch {
    uint8_t minModuleSize = 1;
    const uint8_t* image = nullptr;  // plane being searched, non-zero = dark
    int32_t width = 0, height = 0;
    std::vector<FinderPattern> finders;
    std::vector<SymbolCandidate> candidates;
    std::vector<DecodeResult> results;  // grows over all passes of the call
    bool outOfMemory = false;
    ReadingArea reading;
    CodewordArea codewords;

    // Plane pixel: the byte inside the plane, 0 (light) outside.
    uint8_t Pixel(int x, int y) const {
        if (x < 0 || y < 0 || x >= width || y >= height) return 0;
        return image[static_cast<size_t>(y) * static_cast<size_t>(width) + static_cast<size_t>(x)];
    }
};

// ---- Location (finder scan, triple search, search pass) ----------------

// One search pass over a binary plane; true when ReadCandidates ran in this
// pass and returned a positive count.
bool SearchPass(SymbolSearch& search, const uint8_t* plane, int width, int height, int symbolCount);

// ---- Format and version information -------------------------------------

bool ReadFormatInfo(const SymbolSearch& search, SymbolCandidate& candidate);
bool ReadVersionInfo(const SymbolSearch& search, SymbolCandidate& candidate);
bool CorrectFormatWord(uint32_t& word);
bool CorrectVersionWord(uint32_t& word);

// ---- Reading and sampling -----------------------------------------------

// Reads every candidate of search.candidates, appends results, sorts them;
// returns the number of results now in the list.
int ReadCandidates(SymbolSearch& search, int symbolLimit, int scale);

// Versions 7-40: step 1 runs inside the initial anchoring, steps 2-10 before
// the reading attempt.
void AnchorTimingAlignments(SymbolSearch& search, const SymbolCandidate& candidate);
void BuildAlignmentGrid(SymbolSearch& search, const SymbolCandidate& candidate);

// ---- Codewords and correction -------------------------------------------

void UnmaskGrid(SymbolSearch& search, int side, int mask);
bool ExtractCodewords(SymbolSearch& search, int version, int side, int level);
bool CheckBlock(SymbolSearch& search, int n, int k, const uint8_t* block);
bool CorrectBlock(SymbolSearch& search, int n, int k, uint8_t* block, int t);

// ---- Segments -------------------------------------------------------------

bool DecodeSegments(SymbolSearch& search, DecodeResult& result, int length, const uint8_t* codewords, bool withHeader);
uint32_t ReadBits(int position, int count, const uint8_t* data);

}  // namespace lectavo
