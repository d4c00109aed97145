// The whole photo collection (testdata/qr-photos) decoded in one process by
// our decoder and by zxing-cpp from the same grey pixels, so the totals
// compare decoding alone (no file reading, no program start-up). Each
// iteration decodes every photo once; "found" counts the photos with at least
// one symbol (photo_report checks the texts). Ours runs with the symbol count
// 1, 32 and every symbol (0); zxing-cpp always looks for every symbol.
#include <benchmark/benchmark.h>

#define ZX_USE_UTF8 1
#include <ZXing/ReadBarcode.h>

#include <algorithm>
#include <filesystem>
#include <string>
#include <vector>

#include "decode_call.h"
#include "input/picture_reader.h"

namespace {

namespace fs = std::filesystem;

struct Photo {
    std::string name;
    lectavo::GrayPicture picture;
};

std::vector<Photo> LoadPhotos() {
    std::vector<Photo> photos;
    const fs::path root = fs::path(QR_SOURCE_DIR) / "testdata" / "qr-photos";
    std::vector<fs::path> paths;
    for (const auto& entry : fs::recursive_directory_iterator(root)) {
        std::string extension = entry.path().extension().string();
        std::transform(extension.begin(), extension.end(), extension.begin(), ::tolower);
        if (extension == ".png" || extension == ".jpg" || extension == ".jpeg" || extension == ".gif" ||
            extension == ".bmp")
            paths.push_back(entry.path());
    }
    std::sort(paths.begin(), paths.end());
    for (const fs::path& path : paths) {
        Photo photo{path.string(), {}};
        if (lectavo::ReadPicture(path.c_str(), nullptr, photo.picture) == 0 && photo.picture.HasImage())
            photos.push_back(std::move(photo));
    }
    return photos;
}

const std::vector<Photo>& Photos() {
    static const std::vector<Photo> photos = LoadPhotos();
    return photos;
}

void RunOurs(benchmark::State& state, bool photoStage) {
    lectavo::DecoderOptions options;
    options.symbolCount = state.range(0) > 0 ? static_cast<int32_t>(state.range(0)) : lectavo::kEverySymbol;
    options.photoStage = photoStage;
    lectavo::DecodeWorkspace workspace;
    int found = 0;
    for (auto _ : state) {
        found = 0;
        for (const Photo& p : Photos())
            found +=
                lectavo::DecodeGreyCall(p.picture.pixels.data(), p.picture.width, p.picture.height, options, workspace)
                    .code > 0;
    }
    state.counters["photos"] = static_cast<double>(Photos().size());
    state.counters["found"] = found;
}

// 1: the first symbol; 32: the C interface's most, as photo_report asks;
// 0: every symbol (the C++ interface's default).
void PhotoSetOurs(benchmark::State& state) { RunOurs(state, true); }

// The binarisation passes alone, without the photo stage: what every count
// costs before the second stage adds its share.
void PhotoSetFirstPasses(benchmark::State& state) { RunOurs(state, false); }

void PhotoSetZxing(benchmark::State& state) {
    const auto hints = ZXing::DecodeHints().setFormats(ZXing::BarcodeFormat::QRCode);
    int found = 0;
    for (auto _ : state) {
        found = 0;
        for (const Photo& p : Photos()) {
            const ZXing::ImageView view(p.picture.pixels.data(), p.picture.width, p.picture.height,
                                        ZXing::ImageFormat::Lum);
            found += !ZXing::ReadBarcodes(view, hints).empty();
        }
    }
    state.counters["photos"] = static_cast<double>(Photos().size());
    state.counters["found"] = found;
}

BENCHMARK(PhotoSetOurs)->Arg(1)->Arg(32)->Arg(0)->Unit(benchmark::kMillisecond)->MinTime(2.0);
BENCHMARK(PhotoSetFirstPasses)->Arg(1)->Arg(32)->Unit(benchmark::kMillisecond)->MinTime(2.0);
BENCHMARK(PhotoSetZxing)->Unit(benchmark::kMillisecond)->MinTime(2.0);

}  // namespace

BENCHMARK_MAIN();
