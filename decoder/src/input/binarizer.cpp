#include "input/binarizer.h"

#include <algorithm>
#include <vector>

#include "input/grey_picture.h"

namespace lectavo {

namespace {

// Plane k of the three planes, one byte per pixel.
class Planes {
public:
    void Allocate(size_t pixels, int count) {
        bytes_.assign(pixels * static_cast<size_t>(count), 0);
        size_ = pixels;
    }
    uint8_t* operator[](int k) { return bytes_.data() + size_ * static_cast<size_t>(k); }

private:
    std::vector<uint8_t> bytes_;
    size_t size_ = 0;
};

// Sequencing of searches: remembers whether any search succeeded and whether
// enough symbols have been collected to stop.
class Searcher {
public:
    Searcher(const PlaneSearch& search, int width, int height, int symbolCount)
        : search_(search), width_(width), height_(height), wanted_(std::max(1, symbolCount)) {}

    // Searches `plane`; true when the passes should stop.
    bool Search(const uint8_t* plane) {
        const SearchOutcome outcome = search_(plane, width_, height_);
        held_ = outcome.symbolsHeld;
        found_ = found_ || outcome.success;
        return outcome.success && held_ >= wanted_;
    }
    bool Short() const { return held_ < wanted_; }
    bool Found() const { return found_; }

private:
    const PlaneSearch& search_;
    int width_, height_, wanted_;
    int held_ = 0;
    bool found_ = false;
};

void ThresholdPlane(const uint8_t* grey, size_t count, uint8_t t, uint8_t* plane) {
    for (size_t i = 0; i < count; ++i) plane[i] = grey[i] <= t ? 1 : 0;
}

// Five-sample vote for every pixel off the outermost frame. With p1/p2 null
// only the first plane is written.
void VotePlanes(const uint8_t* grey, int width, int height, const uint8_t (&t)[3], uint8_t* p0, uint8_t* p1,
                uint8_t* p2) {
    const size_t w = static_cast<size_t>(width);
    for (int y = 1; y + 1 < height; ++y) {
        for (int x = 1; x + 1 < width; ++x) {
            const size_t i = static_cast<size_t>(y) * w + static_cast<size_t>(x);
            const uint8_t samples[5] = {grey[i], grey[i - w], grey[i + w], grey[i - 1], grey[i + 1]};
            int votes[3] = {0, 0, 0};
            for (uint8_t s : samples)
                for (int k = 0; k < 3; ++k) votes[k] += s <= t[k];
            p0[i] = votes[0] >= 3;
            if (p1) {
                p1[i] = votes[1] >= 3;
                p2[i] = votes[2] >= 3;
            }
        }
    }
}

// Each whole 16 x 16 block against its own middle grey, strictly darker.
void BlockPlanes(const uint8_t* grey, int width, int height, uint8_t* p0, uint8_t* p1, uint8_t* p2) {
    constexpr int kBlock = 16;
    const size_t w = static_cast<size_t>(width);
    for (int by = 0; by + kBlock <= height; by += kBlock) {
        for (int bx = 0; bx + kBlock <= width; bx += kBlock) {
            GreyRange range;
            for (int y = by; y < by + kBlock; ++y) range.AddAll(grey + static_cast<size_t>(y) * w + bx, kBlock);
            const uint8_t l = range.Threshold();
            const uint8_t ll = static_cast<uint8_t>(l - 32), lh = static_cast<uint8_t>(l + 32);
            for (int y = by; y < by + kBlock; ++y) {
                const size_t row = static_cast<size_t>(y) * w;
                for (int x = bx; x < bx + kBlock; ++x) {
                    const uint8_t g = grey[row + x];
                    p0[row + x] = g < l;
                    p1[row + x] = g < ll;
                    p2[row + x] = g < lh;
                }
            }
        }
    }
}

}  // namespace

BinarizeStatus Binarize(const uint8_t* grey, int width, int height, uint8_t threshold, bool bilevel,
                        const DecoderOptions& options, const PlaneSearch& search) {
    const size_t count = static_cast<size_t>(width) * static_cast<size_t>(height);
    Planes planes;
    planes.Allocate(count, bilevel ? 1 : 3);
    Searcher searcher(search, width, height, options.symbolCount);
    auto status = [&] { return searcher.Found() ? BinarizeStatus::kFound : BinarizeStatus::kNothingFound; };

    const uint8_t first = options.brightnessBorder ? options.brightnessBorder : threshold;
    ThresholdPlane(grey, count, first, planes[0]);
    if (searcher.Search(planes[0])) return status();

    const uint8_t t[3] = {threshold, static_cast<uint8_t>(threshold - 32), static_cast<uint8_t>(threshold + 32)};
    if (!bilevel && options.brightnessBorder == 0) {
        ThresholdPlane(grey, count, t[1], planes[1]);
        if (searcher.Search(planes[1])) return status();
        ThresholdPlane(grey, count, t[2], planes[2]);
        if (searcher.Search(planes[2])) return status();
    }

    if ((options.effectLevel & 1) && searcher.Short()) {
        if (bilevel) {
            VotePlanes(grey, width, height, t, planes[0], nullptr, nullptr);
            searcher.Search(planes[0]);
            return status();
        }
        VotePlanes(grey, width, height, t, planes[0], planes[1], planes[2]);
        for (int k = 0; k < 3; ++k)
            if (searcher.Search(planes[k])) return status();
    }

    if (!bilevel && (options.effectLevel & 2) && searcher.Short()) {
        BlockPlanes(grey, width, height, planes[0], planes[1], planes[2]);
        for (int k = 0; k < 3; ++k)
            if (searcher.Search(planes[k])) return status();
    }
    return status();
}

}  // namespace lectavo
