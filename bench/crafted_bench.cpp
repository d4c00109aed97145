// The whole decode call on crafted pictures (tests/support/crafted_pictures.h)
// at 1, 4 and 16 megapixels, beside zxing-cpp on the same grey pixels: our
// call asks for 32 symbols at effect level 3, so the photo stage runs after
// the binary-plane passes. "Ours/<picture>/<side>" and
// "Zxing/<picture>/<side>" rows; "symbols" is what the call returned and
// "peak_bytes_per_pixel" our call's peak heap over the picture size.
// "Photo/<picture>/<side>" rows time the photo stage alone (every grid
// refused, as none holds a symbol), to tell its share of the call from the
// binary-plane passes' share.
// Select rows with --benchmark_filter, e.g. --benchmark_filter=/1000$.
#include <benchmark/benchmark.h>

#define ZX_USE_UTF8 1
#include <ZXing/ReadBarcode.h>

#include <algorithm>
#include <atomic>
#include <cstdlib>
#include <memory>
#include <new>
#include <string>

#include "crafted_pictures.h"
#include "decode_driver.h"
#include "decoder_options.h"
#include "photo/photo_stage.h"

namespace {

std::atomic<size_t> heapNow{0}, heapPeak{0};

}  // namespace

// Heap accounting for the peak-memory counter.
void* operator new(size_t size) {
    void* p = std::malloc(size + sizeof(std::max_align_t));
    if (!p) throw std::bad_alloc();
    *static_cast<size_t*>(p) = size;
    const size_t now = heapNow += size;
    size_t peak = heapPeak;
    while (now > peak && !heapPeak.compare_exchange_weak(peak, now)) {
    }
    return static_cast<char*>(p) + sizeof(std::max_align_t);
}
void operator delete(void* p) noexcept {
    if (!p) return;
    char* base = static_cast<char*>(p) - sizeof(std::max_align_t);
    heapNow -= *reinterpret_cast<size_t*>(base);
    std::free(base);
}
void operator delete(void* p, size_t) noexcept { operator delete(p); }

namespace {

// The picture last asked for, kept while both decoders' rows for it run.
const crafted::Picture& PictureOf(crafted::Kind kind, int side) {
    static std::unique_ptr<crafted::Picture> picture;
    static crafted::Kind madeKind = crafted::Kind::kCount;
    static int madeSide = 0;
    if (!picture || madeKind != kind || madeSide != side) {
        picture.reset();
        picture = std::make_unique<crafted::Picture>(crafted::Make(kind, side));
        madeKind = kind;
        madeSide = side;
    }
    return *picture;
}

void Ours(benchmark::State& state, crafted::Kind kind, int side) {
    const crafted::Picture& p = PictureOf(kind, side);
    lectavo::SetSymbolCount(32);
    lectavo::SetEffectLevel(3);
    size_t peak = 0;
    int symbols = 0;
    for (auto _ : state) {
        const size_t before = heapNow;
        heapPeak = before;
        symbols = lectavo::DecodeGreyIntoStore(p.pixels.data(), p.width, p.height);
        peak = std::max(peak, heapPeak - before);
    }
    state.counters["symbols"] = symbols;
    state.counters["peak_bytes_per_pixel"] = static_cast<double>(peak) / (static_cast<double>(p.width) * p.height);
}

void Photo(benchmark::State& state, crafted::Kind kind, int side) {
    const crafted::Picture& p = PictureOf(kind, side);
    int grids = 0;
    for (auto _ : state)
        lectavo::photo::RunPhotoStage({p.pixels.data(), p.width, p.height}, 32,
                                      [&](const lectavo::SampledGrid&, const lectavo::Quad&) {
                                          ++grids;
                                          return false;
                                      });
    state.counters["grids"] = benchmark::Counter(grids, benchmark::Counter::kAvgIterations);
}

void Zxing(benchmark::State& state, crafted::Kind kind, int side) {
    const crafted::Picture& p = PictureOf(kind, side);
    const auto hints = ZXing::DecodeHints().setFormats(ZXing::BarcodeFormat::QRCode);
    size_t symbols = 0;
    for (auto _ : state) {
        const auto results =
            ZXing::ReadBarcodes(ZXing::ImageView(p.pixels.data(), p.width, p.height, ZXing::ImageFormat::Lum), hints);
        symbols = results.size();
    }
    state.counters["symbols"] = static_cast<double>(symbols);
}

}  // namespace

int main(int argc, char** argv) {
    for (const int side : crafted::kSides)
        for (const crafted::Kind kind : crafted::AllKinds()) {
            const std::string suffix = "/" + crafted::Name(kind) + "/" + std::to_string(side);
            benchmark::RegisterBenchmark(("Ours" + suffix).c_str(), Ours, kind, side)->Unit(benchmark::kMillisecond);
            benchmark::RegisterBenchmark(("Photo" + suffix).c_str(), Photo, kind, side)->Unit(benchmark::kMillisecond);
            // zxing-cpp's search for finder triples takes many minutes on a
            // grid of bare finder patterns: no rows for it there.
            if (kind == crafted::Kind::kFinderGrid1 || kind == crafted::Kind::kFinderGrid3) continue;
            benchmark::RegisterBenchmark(("Zxing" + suffix).c_str(), Zxing, kind, side)->Unit(benchmark::kMillisecond);
        }
    benchmark::Initialize(&argc, argv);
    if (benchmark::ReportUnrecognizedArguments(argc, argv)) return 1;
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
