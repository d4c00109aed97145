// How many files qrtool decodes at once without taking more memory than the
// machine has.
#pragma once

#include <cstdint>

namespace qrtool {

// What one decode may take at its peak: the decoder accepts pictures of up
// to 2^28 pixels and keeps within 64 MiB + 5 bytes a pixel (lectavo.h;
// measured on 16384 x 16384: 578 MiB for a 1-bit BMP, 1,090 MiB for an 8-bit
// grey one, 5 bytes a pixel for colour PNG). Only a progressive JPEG with
// full-resolution colour takes more (7 bytes a pixel); the budget being
// half the memory leaves room for it.
inline constexpr uint64_t kJobMemoryBytes = (uint64_t{64} << 20) + 5 * (uint64_t{1} << 28);

// The memory all jobs together may take: half the physical memory (or of
// the control group's limit, when lower).
uint64_t MemoryBudgetBytes();

// `wanted` jobs, cut to as many as the budget holds at kJobMemoryBytes each
// (at least one).
unsigned JobsWithinMemory(unsigned wanted, uint64_t budget_bytes);

}  // namespace qrtool
