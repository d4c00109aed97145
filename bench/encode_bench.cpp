// Encoding speed of Mosaire against libqrencode on the same messages: byte
// messages that need versions 1, 5, 10, 20, 30 and 40 at levels L and H, the
// mask chosen automatically. Mosaire is timed through its exported functions
// (the programs' setter sequence, then QRGetPatternData with a buffer large
// enough for version 40); libqrencode through QRcode_encodeData at the same
// version floor and level. Each benchmark reports the time per symbol; run
// with --benchmark_repetitions=N --benchmark_report_aggregates_only=true for
// medians.
#include <benchmark/benchmark.h>
#include <qrencode.h>

#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

#include "common/qr_tables.h"
#include "mosaire.h"

namespace {

constexpr int kVersions[] = {1, 5, 10, 20, 30, 40};
constexpr int kMaxModules = 177 * 177;

// The most bytes the version carries at the level in byte mode, so the symbol
// needs exactly that version.
std::string MessageFor(int version, int level) {
    const int countBits = version <= 9 ? 8 : 16;
    const int length = (8 * qrcommon::DataCodewords(version, level) - 4 - countBits) / 8;
    std::string text;
    for (int i = 0; i < length; ++i) text += static_cast<char>('a' + (i * 7 + version) % 26);
    return text;
}

QRecLevel PeerLevel(int level) { return level == 0 ? QR_ECLEVEL_L : QR_ECLEVEL_H; }

void BM_Mosaire(benchmark::State& state) {
    const int version = static_cast<int>(state.range(0));
    const int level = static_cast<int>(state.range(1));
    const std::string message = MessageFor(version, level);
    std::vector<unsigned char> buffer(kMaxModules);
    int16_t rows = 0, cols = 0;
    for (auto _ : state) {
        QRSetMessage(message.c_str());
        QRSetBackColor(255, 255, 255);
        QRSetBarColor(0, 0, 0);
        QRConfigure(version, level, 0);
        QRAppearance(0.2, 1, 0);
        QRSetSize(500, 500);
        uint32_t size = kMaxModules;
        benchmark::DoNotOptimize(QRGetPatternData(buffer.data(), &size, &rows, &cols));
        benchmark::ClobberMemory();
    }
    // A second call with no room reports the side: check the version.
    uint32_t size = 0;
    QRGetPatternData(buffer.data(), &size, &rows, &cols);
    if (rows != 17 + 4 * version) state.SkipWithError("unexpected version");
    state.SetLabel("version " + std::to_string(version) + (level == 0 ? " L" : " H"));
}

void BM_Libqrencode(benchmark::State& state) {
    const int version = static_cast<int>(state.range(0));
    const int level = static_cast<int>(state.range(1));
    const std::string message = MessageFor(version, level);
    int width = 0;
    for (auto _ : state) {
        QRcode* code =
            QRcode_encodeData(static_cast<int>(message.size()), reinterpret_cast<const unsigned char*>(message.data()),
                              version, PeerLevel(level));
        if (code == nullptr) {
            state.SkipWithError("libqrencode failed");
            break;
        }
        width = code->width;
        benchmark::DoNotOptimize(code->data);
        QRcode_free(code);
    }
    if (width != 17 + 4 * version) state.SkipWithError("unexpected version");
    state.SetLabel("version " + std::to_string(version) + (level == 0 ? " L" : " H"));
}

void Cases(benchmark::internal::Benchmark* b) {
    for (int level : {0, 3})
        for (int version : kVersions) b->Args({version, level});
    b->Unit(benchmark::kMicrosecond);
}

BENCHMARK(BM_Mosaire)->Apply(Cases);
BENCHMARK(BM_Libqrencode)->Apply(Cases);

}  // namespace

BENCHMARK_MAIN();
