// How many files qrtool decodes at once without taking more memory than the
// machine has.
#pragma once

#include <cstdint>

namespace qrtool {

// What one decode may take at its peak, whatever the file: the decoder
// accepts pictures of up to 2^28 pixels and takes about 2.2 bytes a pixel at
// its peak on such a picture (590 MB measured on 16384 x 16384), somewhat
// more for a colour picture read through the general loader.
inline constexpr uint64_t kJobMemoryBytes = uint64_t{768} << 20;

// The memory all jobs together may take: half the physical memory (or of
// the control group's limit, when lower).
uint64_t MemoryBudgetBytes();

// `wanted` jobs, cut to as many as the budget holds at kJobMemoryBytes each
// (at least one).
unsigned JobsWithinMemory(unsigned wanted, uint64_t budget_bytes);

}  // namespace qrtool
