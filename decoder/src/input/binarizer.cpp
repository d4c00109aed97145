#include "input/binarizer.h"

#include <algorithm>
#include <cstring>
#include <memory>

#include "input/grey_picture.h"

namespace lectavo {

namespace {

// Plane k of the three planes, one byte per pixel. The bytes start out
// undefined: every pass that reads a plane writes it whole first, except
// where Binarize clears it.
//
// A thread keeps its planes' memory for the next call, up to kKeptPlaneBytes:
// a fresh allocation of that size is mapped and faulted in page by page at
// every call, which costs as much as a whole thresholding pass. A call never
// holds more than its own planes: a smaller buffer is freed before a larger
// one is made.
class Planes {
public:
    static constexpr size_t kKeptPlaneBytes = size_t{64} << 20;

    ~Planes() {
        if (capacity_ > kKeptPlaneBytes) Kept() = {};
    }
    void Allocate(size_t pixels, int count) {
        Buffer& kept = Kept();
        const size_t bytes = pixels * static_cast<size_t>(count);
        if (kept.capacity < bytes) {
            kept = {};  // freed before the larger buffer is made
            kept.bytes.reset(new uint8_t[bytes]);
            kept.capacity = bytes;
        }
        bytes_ = kept.bytes.get();
        capacity_ = kept.capacity;
        size_ = pixels;
    }
    uint8_t* operator[](int k) { return bytes_ + size_ * static_cast<size_t>(k); }
    void Clear(int k) { std::memset((*this)[k], 0, size_); }

private:
    struct Buffer {
        std::unique_ptr<uint8_t[]> bytes;
        size_t capacity = 0;
    };
    static Buffer& Kept() {
        static thread_local Buffer kept;
        return kept;
    }
    uint8_t* bytes_ = nullptr;
    size_t capacity_ = 0;
    size_t size_ = 0;
};

// Sequencing of searches: remembers whether any search succeeded and whether
// enough symbols have been collected to stop (or no later search could read
// anything), and which planes need no search. A plane whose bytes equal
// those of a plane whose search was repeatable, every search since having
// been repeatable too, would read nothing again: that search is replayed
// instead.
class Searcher {
public:
    Searcher(const PlaneSearch& search, const PlaneRepeat& repeat, Planes& planes, size_t size, int count, int width,
             int height, int symbolCount)
        : search_(search),
          repeat_(repeat),
          planes_(planes),
          size_(size),
          count_(count),
          width_(width),
          height_(height),
          wanted_(std::max(1, symbolCount)) {}

    // Plane k was written anew; `unchanged` when no byte differs from before.
    void Rewritten(int k, bool unchanged) {
        if (!unchanged) searchOf_[k] = -1;
    }

    // Searches plane k (written since the last search of it, and announced
    // by Rewritten); true when the passes should stop.
    bool Search(int k) {
        if (repeat_) {
            for (int j = 0; j < count_ && searchOf_[k] < 0; ++j)
                if (j != k && searchOf_[j] >= 0 && std::memcmp(planes_[k], planes_[j], size_) == 0)
                    searchOf_[k] = searchOf_[j];
            if (searchOf_[k] >= 0) {
                repeat_(searchOf_[k]);
                return false;
            }
        }
        const SearchOutcome outcome = search_(planes_[k], width_, height_);
        held_ = outcome.symbolsHeld;
        found_ = found_ || outcome.success;
        if (outcome.repeatable && !outcome.success) {
            searchOf_[k] = searches_;
        } else {
            for (int& s : searchOf_) s = -1;
        }
        ++searches_;
        return outcome.last || (outcome.success && held_ >= wanted_);
    }
    bool Short() const { return held_ < wanted_; }
    bool Found() const { return found_; }

private:
    const PlaneSearch& search_;
    const PlaneRepeat& repeat_;
    Planes& planes_;
    size_t size_;
    int count_, width_, height_, wanted_;
    int held_ = 0;
    bool found_ = false;
    int searches_ = 0;  // searches made
    // Per plane: the repeatable search its bytes were searched by, -1 for
    // none or when a search since was not repeatable.
    int searchOf_[3] = {-1, -1, -1};
};

void ThresholdPlane(const uint8_t* grey, size_t count, uint8_t t, uint8_t* plane) {
    for (size_t i = 0; i < count; ++i) plane[i] = grey[i] <= t ? 1 : 0;
}

// Darker-or-equal votes of the five samples of x on `mid`: x itself, the
// pixels above and below, left and right.
// Summed in bytes, so that the vectorised loops stay sixteen pixels wide.
inline uint8_t Votes(const uint8_t* up, const uint8_t* mid, const uint8_t* down, size_t x, uint8_t t) {
    uint8_t votes = mid[x] <= t;
    votes = static_cast<uint8_t>(votes + (up[x] <= t));
    votes = static_cast<uint8_t>(votes + (down[x] <= t));
    votes = static_cast<uint8_t>(votes + (mid[x - 1] <= t));
    return static_cast<uint8_t>(votes + (mid[x + 1] <= t));
}

// One plane byte written as `value`, any difference from the byte it
// replaces gathered in `diff`.
inline void Store(uint8_t* out, uint8_t value, uint8_t& diff) {
    diff = static_cast<uint8_t>(diff | (*out ^ value));
    *out = value;
}

// Five-sample vote for every pixel off the outermost frame, into the first
// plane only or into all three; changed[k] tells whether plane k now differs
// from what it held. Branch-free rows, so that they vectorise.
template <bool kThree>
void VotePlanes(const uint8_t* grey, int width, int height, const uint8_t (&t)[3], uint8_t* p0, uint8_t* p1,
                uint8_t* p2, bool (&changed)[3]) {
    uint8_t diff[3] = {0, 0, 0};
    if (width < 3) return;
    const size_t w = static_cast<size_t>(width);
    const size_t end = w - 1;
    for (int y = 1; y + 1 < height; ++y) {
        const size_t row = static_cast<size_t>(y) * w;
        const uint8_t* up = grey + row - w;
        const uint8_t* mid = grey + row;
        const uint8_t* down = grey + row + w;
        uint8_t* out0 = p0 + row;
        for (size_t x = 1; x < end; ++x) Store(out0 + x, Votes(up, mid, down, x, t[0]) >= 3, diff[0]);
        if constexpr (kThree) {
            uint8_t* out1 = p1 + row;
            uint8_t* out2 = p2 + row;
            for (size_t x = 1; x < end; ++x) Store(out1 + x, Votes(up, mid, down, x, t[1]) >= 3, diff[1]);
            for (size_t x = 1; x < end; ++x) Store(out2 + x, Votes(up, mid, down, x, t[2]) >= 3, diff[2]);
        }
    }
    for (int k = 0; k < 3; ++k) changed[k] = diff[k] != 0;
}

// Each whole 16 x 16 block against its own middle grey, strictly darker.
// Worked a band of sixteen rows at a time across all its blocks, so that
// every loop runs along a row and vectorises.
// changed[k] tells whether plane k now differs from what it held.
void BlockPlanes(const uint8_t* grey, int width, int height, uint8_t* p0, uint8_t* p1, uint8_t* p2,
                 bool (&changed)[3]) {
    constexpr int kBlock = 16;
    const size_t w = static_cast<size_t>(width);
    const size_t span = w / kBlock * kBlock;  // the columns of whole blocks
    uint8_t diff[3] = {0, 0, 0};
    for (bool& c : changed) c = false;
    if (span == 0) return;
    // Per column of the band: darkest, lightest, then the three thresholds
    // of the column's block.
    std::unique_ptr<uint8_t[]> work(new uint8_t[5 * span]);
    uint8_t* lo = work.get();
    uint8_t* hi = lo + span;
    uint8_t* t[3] = {hi + span, hi + 2 * span, hi + 3 * span};
    for (int by = 0; by + kBlock <= height; by += kBlock) {
        const uint8_t* band = grey + static_cast<size_t>(by) * w;
        std::memcpy(lo, band, span);
        std::memcpy(hi, band, span);
        for (int y = 1; y < kBlock; ++y) {
            const uint8_t* g = band + static_cast<size_t>(y) * w;
            for (size_t x = 0; x < span; ++x) {
                lo[x] = std::min(lo[x], g[x]);
                hi[x] = std::max(hi[x], g[x]);
            }
        }
        for (size_t bx = 0; bx < span; bx += kBlock) {
            GreyRange range;
            range.AddAll(lo + bx, kBlock);
            range.AddAll(hi + bx, kBlock);
            const uint8_t l = range.Threshold();
            std::memset(t[0] + bx, l, kBlock);
            std::memset(t[1] + bx, static_cast<uint8_t>(l - 32), kBlock);
            std::memset(t[2] + bx, static_cast<uint8_t>(l + 32), kBlock);
        }
        for (int y = by; y < by + kBlock; ++y) {
            const size_t row = static_cast<size_t>(y) * w;
            const uint8_t* g = grey + row;
            for (size_t x = 0; x < span; ++x) Store(p0 + row + x, g[x] < t[0][x], diff[0]);
            for (size_t x = 0; x < span; ++x) Store(p1 + row + x, g[x] < t[1][x], diff[1]);
            for (size_t x = 0; x < span; ++x) Store(p2 + row + x, g[x] < t[2][x], diff[2]);
        }
    }
    for (int k = 0; k < 3; ++k) changed[k] = diff[k] != 0;
}

}  // namespace

BinarizeStatus Binarize(const uint8_t* grey, int width, int height, uint8_t threshold, bool bilevel,
                        const DecoderOptions& options, const PlaneSearch& search, const PlaneRepeat& repeat) {
    const size_t count = static_cast<size_t>(width) * static_cast<size_t>(height);
    Planes planes;
    planes.Allocate(count, bilevel ? 1 : 3);
    // Planes 1 and 2 are thresholded whole unless a brightness border is set;
    // then the later passes leave their frame (and remainder) light.
    if (!bilevel && options.brightnessBorder != 0) {
        planes.Clear(1);
        planes.Clear(2);
    }
    const int planeCount = bilevel ? 1 : 3;
    Searcher searcher(search, repeat, planes, count, planeCount, width, height, options.symbolCount);
    auto status = [&] { return searcher.Found() ? BinarizeStatus::kFound : BinarizeStatus::kNothingFound; };

    const uint8_t first = options.brightnessBorder ? options.brightnessBorder : threshold;
    ThresholdPlane(grey, count, first, planes[0]);
    searcher.Rewritten(0, false);
    if (searcher.Search(0)) return status();

    const uint8_t t[3] = {threshold, static_cast<uint8_t>(threshold - 32), static_cast<uint8_t>(threshold + 32)};
    if (!bilevel && options.brightnessBorder == 0) {
        ThresholdPlane(grey, count, t[1], planes[1]);
        searcher.Rewritten(1, false);
        if (searcher.Search(1)) return status();
        ThresholdPlane(grey, count, t[2], planes[2]);
        searcher.Rewritten(2, false);
        if (searcher.Search(2)) return status();
    }

    bool changed[3] = {true, true, true};
    if ((options.effectLevel & 1) && searcher.Short()) {
        if (bilevel) {
            VotePlanes<false>(grey, width, height, t, planes[0], nullptr, nullptr, changed);
            searcher.Rewritten(0, !changed[0]);
            searcher.Search(0);
            return status();
        }
        VotePlanes<true>(grey, width, height, t, planes[0], planes[1], planes[2], changed);
        for (int k = 0; k < 3; ++k) searcher.Rewritten(k, !changed[k]);
        for (int k = 0; k < 3; ++k)
            if (searcher.Search(k)) return status();
    }

    if (!bilevel && (options.effectLevel & 2) && searcher.Short()) {
        BlockPlanes(grey, width, height, planes[0], planes[1], planes[2], changed);
        for (int k = 0; k < 3; ++k) searcher.Rewritten(k, !changed[k]);
        for (int k = 0; k < 3; ++k)
            if (searcher.Search(k)) return status();
    }
    return status();
}

}  // namespace lectavo
