// How a search hands a sampled grid to the decoding stage without depending
// on it: a trial that says what the grid turned out to be, and the
// first-block check a sampler may run before sampling a whole grid.
#pragma once

#include <cstdint>
#include <functional>
#include <vector>

#include "core/sampled_grid.h"

namespace lectavo {

// What one sampled grid turned out to be: its blocks could not be corrected
// (another sampling may do better), they were corrected but the data did not
// decode, or the symbol was read.
enum class TrialStatus { kUnread, kDataInvalid, kRead };

using GridTrial = std::function<TrialStatus(const SampledGrid&)>;

// A cheap test of the first Reed-Solomon block alone: `modules` lists the
// grid indices (row * side + column) of its codewords for a version and level;
// `correctable` says whether a grid with those modules sampled can have that
// block corrected. Both null: no such test.
struct FirstBlockCheck {
    const std::vector<uint16_t>& (*modules)(int version, int level) = nullptr;
    bool (*correctable)(const SampledGrid& grid) = nullptr;
};

}  // namespace lectavo
