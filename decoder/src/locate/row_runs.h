// The runs of equal darkness along one row of a binary plane, found in one
// pass so that scans can look at neighbouring runs instead of walking pixels.
#pragma once

#include <cstdint>
#include <memory>

namespace lectavo {

class RowRuns {
public:
    // Room for rows of `width` pixels (at least 1).
    explicit RowRuns(int width);

    // Splits `row` (width bytes, non-zero = dark) into runs.
    void Read(const uint8_t* row);

    // Number of runs; run k covers Start(k) .. Start(k + 1) - 1 and
    // Start(Count()) is the width. Runs alternate between dark and light.
    int Count() const { return count_; }
    int Start(int k) const { return starts_[k]; }
    const int* Starts() const { return starts_.get(); }
    int Width() const { return width_; }
    bool Dark(int k) const { return ((k & 1) == 0) == firstDark_; }

private:
    int width_;
    int count_ = 0;
    bool firstDark_ = false;
    std::unique_ptr<int[]> starts_;
};

}  // namespace lectavo
