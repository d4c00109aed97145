// Decoding speed of Lectavo against zxing-cpp and zbar on the same in-memory
// grey pictures: clean libqrencode symbols of versions 1-6, 10, 20, 30 and 40
// (4-pixel modules, 4-module quiet zone, four quarter turns) and noisy
// versions 1-6. Each benchmark reports the time per picture (use
// --benchmark_repetitions=N for a median) and the share of pictures whose
// bytes came back right ("correct"; 1 means every picture decoded).
//
// `decode_bench --peak-memory` instead decodes one 2,000 x 2,000 picture with
// Lectavo only and prints the process's peak resident size before and after,
// for use under /usr/bin/time -v.
#include <benchmark/benchmark.h>
#include <qrencode.h>
#include <zbar.h>

#define ZX_USE_UTF8 1
#include <ZXing/ReadBarcode.h>

#include <cstdio>
#include <cstring>
#include <fstream>
#include <random>
#include <string>
#include <vector>

#include "common/qr_tables.h"
#include "lectavo.h"

namespace {

using namespace zbar;  // zbar.h declares its C interface in this namespace under C++

struct Picture {
    int width = 0, height = 0;
    std::vector<uint8_t> pixels;
    std::string text;
};

// About two thirds of the version's data capacity at level M, in byte mode.
std::string MessageFor(int version) {
    const size_t length = static_cast<size_t>(qrcommon::DataCodewords(version, 1) * 2 / 3);
    std::string text;
    for (size_t i = 0; i < length; ++i) text += static_cast<char>('a' + (i * 7 + version) % 26);
    return text;
}

// Renders the libqrencode symbol of `text` at `version` (or larger), level M.
Picture Render(const std::string& text, int version, int modulePx, int quarterTurns, int quiet = 4) {
    Picture p;
    p.text = text;
    QRcode* code = QRcode_encodeData(static_cast<int>(text.size()), reinterpret_cast<const uint8_t*>(text.data()),
                                     version, QR_ECLEVEL_M);
    if (!code) return p;
    const int side = code->width;
    p.width = p.height = (side + 2 * quiet) * modulePx;
    p.pixels.assign(static_cast<size_t>(p.width) * p.height, 255);
    for (int r = 0; r < side; ++r)
        for (int c = 0; c < side; ++c) {
            if (!(code->data[r * side + c] & 1)) continue;
            int rr = r, cc = c;
            for (int t = 0; t < quarterTurns; ++t) {
                const int nr = cc, nc = side - 1 - rr;
                rr = nr;
                cc = nc;
            }
            for (int y = 0; y < modulePx; ++y)
                std::memset(&p.pixels[static_cast<size_t>((rr + quiet) * modulePx + y) * p.width +
                                      static_cast<size_t>((cc + quiet) * modulePx)],
                            0, static_cast<size_t>(modulePx));
        }
    QRcode_free(code);
    return p;
}

// Grey noise of standard deviation 40 on every pixel, clamped to 0-255.
void AddNoise(Picture& p, unsigned seed) {
    std::mt19937 rng(seed);
    std::normal_distribution<float> noise(0.0f, 40.0f);
    for (auto& px : p.pixels) {
        const float v = static_cast<float>(px) + noise(rng);
        px = static_cast<uint8_t>(v < 0 ? 0 : (v > 255 ? 255 : v));
    }
}

// The four quarter turns of one version's symbol.
std::vector<Picture> PicturesFor(int version, bool noisy) {
    std::vector<Picture> out;
    for (int turns = 0; turns < 4; ++turns) {
        out.push_back(Render(MessageFor(version), version, 4, turns));
        if (noisy) AddNoise(out.back(), static_cast<unsigned>(version * 4 + turns));
    }
    return out;
}

bool DecodeLectavo(const Picture& p) {
    if (DecodeGrayScaleArray(p.pixels.data(), p.width, p.height) < 1) return false;
    unsigned char* data = nullptr;
    const int length = GetDecodeData(0, &data);
    return length >= 0 && data && std::string(reinterpret_cast<char*>(data), static_cast<size_t>(length)) == p.text;
}

bool DecodeZxing(const Picture& p) {
    const ZXing::ImageView image(p.pixels.data(), p.width, p.height, ZXing::ImageFormat::Lum);
    const ZXing::Result result =
        ZXing::ReadBarcode(image, ZXing::DecodeHints().setFormats(ZXing::BarcodeFormat::QRCode));
    if (!result.isValid()) return false;
    const ZXing::ByteArray& bytes = result.bytes();
    return std::string(bytes.begin(), bytes.end()) == p.text;
}

class Zbar {
public:
    Zbar() {
        scanner_ = zbar_image_scanner_create();
        zbar_image_scanner_set_config(scanner_, ZBAR_NONE, ZBAR_CFG_ENABLE, 0);
        zbar_image_scanner_set_config(scanner_, ZBAR_QRCODE, ZBAR_CFG_ENABLE, 1);
    }
    ~Zbar() { zbar_image_scanner_destroy(scanner_); }
    Zbar(const Zbar&) = delete;
    Zbar& operator=(const Zbar&) = delete;

    bool Decode(const Picture& p) {
        zbar_image_t* image = zbar_image_create();
        zbar_image_set_format(image, zbar_fourcc('Y', '8', '0', '0'));
        zbar_image_set_size(image, static_cast<unsigned>(p.width), static_cast<unsigned>(p.height));
        zbar_image_set_data(image, p.pixels.data(), p.pixels.size(), nullptr);
        bool ok = false;
        if (zbar_scan_image(scanner_, image) > 0) {
            const zbar_symbol_t* symbol = zbar_image_first_symbol(image);
            ok = symbol && std::string(zbar_symbol_get_data(symbol), zbar_symbol_get_data_length(symbol)) == p.text;
        }
        zbar_image_destroy(image);
        return ok;
    }

private:
    zbar_image_scanner_t* scanner_;
};

enum Peer { kLectavo, kZxing, kZbar };

void BM_Decode(benchmark::State& state, Peer peer, bool noisy) {
    const int version = static_cast<int>(state.range(0));
    const std::vector<Picture> pictures = PicturesFor(version, noisy);
    Zbar zbarReader;
    auto decode = [&](const Picture& p) {
        switch (peer) {
            case kLectavo:
                return DecodeLectavo(p);
            case kZxing:
                return DecodeZxing(p);
            default:
                return zbarReader.Decode(p);
        }
    };
    int correct = 0;
    for (const Picture& p : pictures) correct += decode(p) ? 1 : 0;
    size_t i = 0;
    for (auto _ : state) {
        benchmark::DoNotOptimize(decode(pictures[i]));
        i = (i + 1) % pictures.size();
    }
    state.counters["correct"] = static_cast<double>(correct) / static_cast<double>(pictures.size());
    state.counters["px"] = pictures[0].width;
}

void CleanVersions(benchmark::internal::Benchmark* b) {
    for (int v : {1, 2, 3, 4, 5, 6, 10, 20, 30, 40}) b->Arg(v);
}
void NoisyVersions(benchmark::internal::Benchmark* b) {
    for (int v = 1; v <= 6; ++v) b->Arg(v);
}

BENCHMARK_CAPTURE(BM_Decode, lectavo_clean, kLectavo, false)->Apply(CleanVersions)->Unit(benchmark::kMicrosecond);
BENCHMARK_CAPTURE(BM_Decode, zxing_clean, kZxing, false)->Apply(CleanVersions)->Unit(benchmark::kMicrosecond);
BENCHMARK_CAPTURE(BM_Decode, zbar_clean, kZbar, false)->Apply(CleanVersions)->Unit(benchmark::kMicrosecond);
BENCHMARK_CAPTURE(BM_Decode, lectavo_noisy, kLectavo, true)->Apply(NoisyVersions)->Unit(benchmark::kMicrosecond);
BENCHMARK_CAPTURE(BM_Decode, zxing_noisy, kZxing, true)->Apply(NoisyVersions)->Unit(benchmark::kMicrosecond);
BENCHMARK_CAPTURE(BM_Decode, zbar_noisy, kZbar, true)->Apply(NoisyVersions)->Unit(benchmark::kMicrosecond);

long PeakResidentKb() {
    std::ifstream status("/proc/self/status");
    std::string line;
    while (std::getline(status, line))
        if (line.rfind("VmHWM:", 0) == 0) return std::stol(line.substr(6));
    return -1;
}

// One 2,000 x 2,000 picture holding a version 10 symbol at 12-pixel modules.
int PeakMemory() {
    const Picture symbol = Render(MessageFor(10), 10, 12, 0, 0);
    Picture big;
    big.width = big.height = 2000;
    big.pixels.assign(static_cast<size_t>(2000) * 2000, 255);
    for (int y = 0; y < symbol.height; ++y)
        std::memcpy(&big.pixels[static_cast<size_t>(y + 400) * 2000 + 400],
                    &symbol.pixels[static_cast<size_t>(y) * symbol.width], static_cast<size_t>(symbol.width));
    const long before = PeakResidentKb();
    const int found = DecodeGrayScaleArray(big.pixels.data(), big.width, big.height);
    const long after = PeakResidentKb();
    std::printf("2000x2000 picture: %d symbol(s); peak resident %ld kB before decoding, %ld kB after (+%ld kB)\n",
                found, before, after, after - before);
    return found == 1 ? 0 : 1;
}

}  // namespace

int main(int argc, char** argv) {
    if (argc > 1 && std::strcmp(argv[1], "--peak-memory") == 0) return PeakMemory();
    benchmark::Initialize(&argc, argv);
    if (benchmark::ReportUnrecognizedArguments(argc, argv)) return 1;
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
