// The calling thread's decoded symbols, kept from the end of a successful
// decode call until the thread's next decode call or an explicit free, and
// the position mapping of that call, so the corners of a thread's results
// never take another thread's rectangle origin or resampling scales.
#pragma once

#include <cstdint>
#include <memory>
#include <vector>

#include "decode_result.h"
#include "position_mapping.h"

namespace lectavo {

class ResultStore {
public:
    void Clear();
    // Replaces the contents with a copy of `results`; throws std::bad_alloc
    // (leaving the store empty) when memory is short.
    void Assign(const std::vector<DecodeResult>& results);
    int32_t Count() const { return count_; }
    // The record at `index`, or null for an index outside 0 .. count - 1.
    const DecodeResult* At(int32_t index) const;
    // How this thread's last decode call maps image coordinates back to
    // picture pixels; Clear and Assign leave it as it is.
    void SetMapping(const PositionMapping& mapping) { mapping_ = mapping; }
    const PositionMapping& Mapping() const { return mapping_; }

    ResultStore();
    ~ResultStore();

private:
    std::unique_ptr<DecodeResult[]> records_;
    int32_t count_ = 0;
    PositionMapping mapping_;
};

// The calling thread's store, created on its first use and freed when the
// thread ends. Null only when it cannot be allocated.
ResultStore* ThreadResults();

}  // namespace lectavo
