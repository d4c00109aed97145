// The photo reader's cost on pictures that stress it, beside zxing-cpp on
// the same pixels: a 640 x 480 camera frame without a symbol, the same size
// of noise, a 16-megapixel sheet of bare finder patterns and a 12-megapixel
// photo with one large symbol. "Ours" rows time the photo reader alone: its
// grid trial accepts the first grid of a symbol (standing in for the grid
// decoding) and refuses everything on pictures without one, so every
// alternative is paid for. "Call" rows time the whole decode call (the
// binary-plane passes, then the photo reader). "peak_bytes_per_pixel" is the
// peak heap use over the picture size. FinderSheetZxing takes minutes.
#include <benchmark/benchmark.h>

#define ZX_USE_UTF8 1
#include <ZXing/ReadBarcode.h>

#include <atomic>
#include <cmath>
#include <cstdlib>
#include <memory>
#include <new>
#include <random>
#include <vector>

#include "decode_driver.h"
#include "encode_symbol.h"
#include "photo/photo_stage.h"
#include "settings.h"

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

struct Picture {
    int width = 0, height = 0;
    std::vector<uint8_t> pixels;
};

// A dim, unevenly lit frame with sensor noise and no symbol.
Picture CameraFrame() {
    Picture p{640, 480, std::vector<uint8_t>(640 * 480)};
    std::mt19937 random(1);
    for (int y = 0; y < p.height; ++y)
        for (int x = 0; x < p.width; ++x)
            p.pixels[y * p.width + x] = static_cast<uint8_t>(60 + x / 8 + y / 10 + random() % 12);
    return p;
}

Picture Noise() {
    Picture p{640, 480, std::vector<uint8_t>(640 * 480)};
    std::mt19937 random(2);
    for (auto& v : p.pixels) v = static_cast<uint8_t>(random());
    return p;
}

// Draws a finder pattern (7 x 7 modules) with its top-left at (x, y).
void Finder(Picture& p, int x, int y, int module) {
    for (int r = 0; r < 7 * module; ++r)
        for (int c = 0; c < 7 * module; ++c) {
            const int mr = r / module, mc = c / module;
            const int ring = std::max(std::abs(mr - 3), std::abs(mc - 3));
            if (ring != 2) p.pixels[static_cast<size_t>(y + r) * p.width + x + c] = 20;
        }
}

Picture FinderSheet() {
    Picture p{4608, 3456, std::vector<uint8_t>(size_t{4608} * 3456, 230)};
    for (int y = 20; y + 40 < p.height; y += 60)
        for (int x = 20; x + 40 < p.width; x += 60) Finder(p, x, y, 5);
    return p;
}

// A version 4 symbol from our encoder with 40 px modules in a 12-megapixel
// photo.
Picture LargePhoto() {
    Picture p{4000, 3000, std::vector<uint8_t>(size_t{4000} * 3000, 200)};
    auto settings = std::make_unique<mosaire::EncoderSettings>();
    mosaire::SetMessage(*settings, "large photo");
    mosaire::Configure(*settings, 4, 1, 0);
    const mosaire::EncodedSymbol encoded = mosaire::EncodeSymbol(*settings);
    const mosaire::ModuleMatrix* symbol = encoded.matrix.get();
    const int m = 40, x0 = 1200, y0 = 700;
    for (int r = 0; symbol && r < symbol->side; ++r)
        for (int c = 0; c < symbol->side; ++c)
            if (symbol->value[r][c])
                for (int y = 0; y < m; ++y)
                    for (int x = 0; x < m; ++x)
                        p.pixels[static_cast<size_t>(y0 + r * m + y) * p.width + x0 + c * m + x] = 30;
    return p;
}

void RunOurs(benchmark::State& state, const Picture& p, bool accept) {
    int grids = 0;
    size_t peak = 0;
    for (auto _ : state) {
        const size_t before = heapNow;
        heapPeak = before;
        lectavo::photo::RunPhotoStage({p.pixels.data(), p.width, p.height}, 1,
                                      [&](const lectavo::SampledGrid&, const lectavo::photo::Quad&) {
                                          ++grids;
                                          return accept;
                                      });
        peak = std::max(peak, heapPeak - before);
    }
    state.counters["grids"] = benchmark::Counter(grids, benchmark::Counter::kAvgIterations);
    state.counters["peak_bytes_per_pixel"] = static_cast<double>(peak) / (static_cast<double>(p.width) * p.height);
}

// The whole decode call: the binary-plane passes, then the photo reader.
void RunCall(benchmark::State& state, const Picture& p) {
    size_t peak = 0;
    for (auto _ : state) {
        const size_t before = heapNow;
        heapPeak = before;
        benchmark::DoNotOptimize(lectavo::DecodeGrey(p.pixels.data(), p.width, p.height));
        peak = std::max(peak, heapPeak - before);
    }
    state.counters["peak_bytes_per_pixel"] = static_cast<double>(peak) / (static_cast<double>(p.width) * p.height);
}

void RunZxing(benchmark::State& state, const Picture& p) {
    const auto hints = ZXing::DecodeHints().setFormats(ZXing::BarcodeFormat::QRCode);
    for (auto _ : state)
        benchmark::DoNotOptimize(
            ZXing::ReadBarcodes(ZXing::ImageView(p.pixels.data(), p.width, p.height, ZXing::ImageFormat::Lum), hints));
}

// Each picture is made once, on first use.
template <Picture (*Make)()>
const Picture& Made() {
    static const Picture p = Make();
    return p;
}

void EmptyFrameOurs(benchmark::State& s) { RunOurs(s, Made<CameraFrame>(), false); }
void EmptyFrameCall(benchmark::State& s) { RunCall(s, Made<CameraFrame>()); }
void EmptyFrameZxing(benchmark::State& s) { RunZxing(s, Made<CameraFrame>()); }
void NoiseOurs(benchmark::State& s) { RunOurs(s, Made<Noise>(), false); }
void NoiseCall(benchmark::State& s) { RunCall(s, Made<Noise>()); }
void NoiseZxing(benchmark::State& s) { RunZxing(s, Made<Noise>()); }
void FinderSheetOurs(benchmark::State& s) { RunOurs(s, Made<FinderSheet>(), false); }
void FinderSheetCall(benchmark::State& s) { RunCall(s, Made<FinderSheet>()); }
void LargePhotoCall(benchmark::State& s) { RunCall(s, Made<LargePhoto>()); }
void FinderSheetZxing(benchmark::State& s) { RunZxing(s, Made<FinderSheet>()); }
void LargePhotoOurs(benchmark::State& s) { RunOurs(s, Made<LargePhoto>(), true); }
void LargePhotoZxing(benchmark::State& s) { RunZxing(s, Made<LargePhoto>()); }

BENCHMARK(EmptyFrameOurs)->Unit(benchmark::kMillisecond);
BENCHMARK(EmptyFrameCall)->Unit(benchmark::kMillisecond);
BENCHMARK(EmptyFrameZxing)->Unit(benchmark::kMillisecond);
BENCHMARK(NoiseOurs)->Unit(benchmark::kMillisecond);
BENCHMARK(NoiseCall)->Unit(benchmark::kMillisecond);
BENCHMARK(NoiseZxing)->Unit(benchmark::kMillisecond);
BENCHMARK(FinderSheetOurs)->Unit(benchmark::kMillisecond);
BENCHMARK(FinderSheetCall)->Unit(benchmark::kMillisecond);
BENCHMARK(FinderSheetZxing)->Unit(benchmark::kMillisecond);
BENCHMARK(LargePhotoOurs)->Unit(benchmark::kMillisecond);
BENCHMARK(LargePhotoCall)->Unit(benchmark::kMillisecond);
BENCHMARK(LargePhotoZxing)->Unit(benchmark::kMillisecond);

}  // namespace

BENCHMARK_MAIN();
