// Decoding speed of Lectavo against zxing-cpp and zbar on the same in-memory
// grey pictures: clean libqrencode symbols of versions 1-6, 10, 20, 30 and 40
// (4-pixel modules, 4-module quiet zone, four quarter turns), and versions
// 1-6 noisy, scaled by 1.3 (5.2-pixel modules), blurred, turned by 10 degrees
// and in perspective. Each benchmark reports the time per picture (use
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

#include <array>
#include <cmath>
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

// Blurs with the kernel [1 2 1] / 4 along both axes, `passes` times.
void Blur(Picture& p, int passes) {
    std::vector<uint8_t> copy;
    for (int pass = 0; pass < passes; ++pass) {
        for (const bool alongRows : {true, false}) {
            copy = p.pixels;
            const int step = alongRows ? 1 : p.width;
            for (int y = 1; y + 1 < p.height; ++y)
                for (int x = 1; x + 1 < p.width; ++x) {
                    const size_t i = static_cast<size_t>(y) * p.width + x;
                    p.pixels[i] = static_cast<uint8_t>((copy[i - step] + 2 * copy[i] + copy[i + step] + 2) / 4);
                }
        }
    }
}

// A plane projective map, row-major 3 x 3.
using Homography = std::array<double, 9>;

// The map taking the unit square's corners (0,0), (1,0), (1,1), (0,1) to `q`.
Homography SquareToQuad(const std::array<double, 8>& q) {
    const double dx1 = q[2] - q[4], dx2 = q[6] - q[4], dx3 = q[0] - q[2] + q[4] - q[6];
    const double dy1 = q[3] - q[5], dy2 = q[7] - q[5], dy3 = q[1] - q[3] + q[5] - q[7];
    const double det = dx1 * dy2 - dx2 * dy1;
    const double g = (dx3 * dy2 - dx2 * dy3) / det, h = (dx1 * dy3 - dx3 * dy1) / det;
    return {q[2] - q[0] + g * q[2],
            q[6] - q[0] + h * q[6],
            q[0],
            q[3] - q[1] + g * q[3],
            q[7] - q[1] + h * q[7],
            q[1],
            g,
            h,
            1.0};
}

Homography Inverse(const Homography& m) {
    return {m[4] * m[8] - m[5] * m[7], m[2] * m[7] - m[1] * m[8], m[1] * m[5] - m[2] * m[4],
            m[5] * m[6] - m[3] * m[8], m[0] * m[8] - m[2] * m[6], m[2] * m[3] - m[0] * m[5],
            m[3] * m[7] - m[4] * m[6], m[1] * m[6] - m[0] * m[7], m[0] * m[4] - m[1] * m[3]};
}

// `src` seen through the projective map taking its corners to the quad `q`
// (top-left, top-right, bottom-right, bottom-left) on a light picture of the
// given size, sampled bilinearly.
Picture Warp(const Picture& src, const std::array<double, 8>& q, int width, int height) {
    const Homography toSquare = Inverse(SquareToQuad(q));
    Picture out;
    out.text = src.text;
    out.width = width;
    out.height = height;
    out.pixels.assign(static_cast<size_t>(width) * height, 255);
    auto at = [&](int x, int y) {
        return x < 0 || y < 0 || x >= src.width || y >= src.height
                   ? 255.0
                   : static_cast<double>(src.pixels[static_cast<size_t>(y) * src.width + x]);
    };
    for (int y = 0; y < height; ++y)
        for (int x = 0; x < width; ++x) {
            const double px = x + 0.5, py = y + 0.5;
            const double w = toSquare[6] * px + toSquare[7] * py + toSquare[8];
            const double u = (toSquare[0] * px + toSquare[1] * py + toSquare[2]) / w * src.width - 0.5;
            const double v = (toSquare[3] * px + toSquare[4] * py + toSquare[5]) / w * src.height - 0.5;
            const int x0 = static_cast<int>(std::floor(u)), y0 = static_cast<int>(std::floor(v));
            const double fx = u - x0, fy = v - y0;
            const double value = (1 - fy) * ((1 - fx) * at(x0, y0) + fx * at(x0 + 1, y0)) +
                                 fy * ((1 - fx) * at(x0, y0 + 1) + fx * at(x0 + 1, y0 + 1));
            out.pixels[static_cast<size_t>(y) * width + x] = static_cast<uint8_t>(std::lround(value));
        }
    return out;
}

Picture Scaled(const Picture& src, double factor) {
    const double w = src.width * factor, h = src.height * factor;
    return Warp(src, {0, 0, w, 0, w, h, 0, h}, static_cast<int>(std::ceil(w)), static_cast<int>(std::ceil(h)));
}

// Turned about its centre on a picture large enough to hold it.
Picture Turned(const Picture& src, double degrees) {
    const double a = degrees * 3.14159265358979 / 180, c = std::cos(a), s = std::sin(a);
    const double half = src.width / 2.0;
    const int side = static_cast<int>(std::ceil(src.width * (c + s)));
    std::array<double, 8> q{};
    const double corners[4][2] = {{-half, -half}, {half, -half}, {half, half}, {-half, half}};
    for (int i = 0; i < 4; ++i) {
        q[2 * i] = side / 2.0 + c * corners[i][0] - s * corners[i][1];
        q[2 * i + 1] = side / 2.0 + s * corners[i][0] + c * corners[i][1];
    }
    return Warp(src, q, side, side);
}

// As a hand-held camera sees it: the top edge farther away and the picture
// leaning to one side.
Picture InPerspective(const Picture& src) {
    const double w = src.width, h = src.height;
    return Warp(src, {0.12 * w, 0.06 * h, 0.86 * w, 0.02 * h, 0.98 * w, 0.96 * h, 0.02 * w, 0.9 * h}, src.width,
                src.height);
}

enum class Variant { kClean, kNoisy, kScaled, kBlurred, kTurned10, kPerspective };

// The four quarter turns of one version's symbol, as the variant shows them.
std::vector<Picture> PicturesFor(int version, Variant variant) {
    std::vector<Picture> out;
    for (int turns = 0; turns < 4; ++turns) {
        Picture p = Render(MessageFor(version), version, 4, turns);
        switch (variant) {
            case Variant::kClean:
                break;
            case Variant::kNoisy:
                AddNoise(p, static_cast<unsigned>(version * 4 + turns));
                break;
            case Variant::kScaled:
                p = Scaled(p, 1.3);
                break;
            case Variant::kBlurred:
                Blur(p, 2);
                break;
            case Variant::kTurned10:
                p = Turned(p, 10);
                break;
            case Variant::kPerspective:
                p = InPerspective(p);
                break;
        }
        out.push_back(std::move(p));
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

void BM_Decode(benchmark::State& state, Peer peer, Variant variant) {
    const int version = static_cast<int>(state.range(0));
    const std::vector<Picture> pictures = PicturesFor(version, variant);
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
void SmallVersions(benchmark::internal::Benchmark* b) {
    for (int v = 1; v <= 6; ++v) b->Arg(v);
}

#define DECODE_BENCHMARKS(variant, value, versions)                                                                   \
    BENCHMARK_CAPTURE(BM_Decode, lectavo_##variant, kLectavo, value)->Apply(versions)->Unit(benchmark::kMicrosecond); \
    BENCHMARK_CAPTURE(BM_Decode, zxing_##variant, kZxing, value)->Apply(versions)->Unit(benchmark::kMicrosecond);     \
    BENCHMARK_CAPTURE(BM_Decode, zbar_##variant, kZbar, value)->Apply(versions)->Unit(benchmark::kMicrosecond)

DECODE_BENCHMARKS(clean, Variant::kClean, CleanVersions);
DECODE_BENCHMARKS(noisy, Variant::kNoisy, SmallVersions);
DECODE_BENCHMARKS(scaled, Variant::kScaled, SmallVersions);
DECODE_BENCHMARKS(blurred, Variant::kBlurred, SmallVersions);
DECODE_BENCHMARKS(turned10, Variant::kTurned10, SmallVersions);
DECODE_BENCHMARKS(perspective, Variant::kPerspective, SmallVersions);

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
