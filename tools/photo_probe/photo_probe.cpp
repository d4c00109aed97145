// Runs the photo reader over a photo collection (folders of pictures, each
// NAME.png/.jpg beside NAME.txt with the expected text). Every grid the
// reader hands over is drawn as a clean symbol and read by zxing-cpp, so the
// reader is measured before it is wired to our own grid decoding. zxing-cpp
// on the original photo is measured beside it.
//
// usage: photo_probe [PHOTO_DIR] [-v] [-n SYMBOLS]  (SYMBOLS: symbol limit, default 32)
#include <QImage>
#include <ZXing/ReadBarcode.h>

#include <algorithm>
#include <chrono>
#include <cmath>
#include <cstdlib>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <map>
#include <sstream>
#include <string>
#include <vector>

#include "photo/photo_stage.h"

namespace fs = std::filesystem;
using Clock = std::chrono::steady_clock;

namespace {

std::string ReadFile(const fs::path& p) {
    std::ifstream in(p, std::ios::binary);
    std::stringstream s;
    s << in.rdbuf();
    return s.str();
}

// Finder patterns, their separators and the timing patterns as they must
// be: a grid decoder never reads those modules, but zxing-cpp has to locate
// the drawn grid by them, and one blurred finder corner can make it miss.
lectavo::SampledGrid WithFunctionPatterns(lectavo::SampledGrid grid) {
    const int n = grid.side;
    auto set = [&](int r, int c, int v) {
        if (r >= 0 && c >= 0 && r < n && c < n) grid.modules[r * n + c] = static_cast<uint8_t>(v);
    };
    for (auto [r0, c0] : {std::pair{0, 0}, {0, n - 7}, {n - 7, 0}})
        for (int r = -1; r <= 7; ++r)
            for (int c = -1; c <= 7; ++c) {
                const int ring = std::max(std::abs(r - 3), std::abs(c - 3));
                set(r0 + r, c0 + c, ring == 2 || ring == 4 ? 0 : 1);
            }
    for (int k = 8; k < n - 8; ++k) set(6, k, k % 2 == 0), set(k, 6, k % 2 == 0);
    return grid;
}

// The grid as a picture: 4 px per module, 4 modules of quiet zone.
std::string ReadGrid(const lectavo::SampledGrid& sampled) {
    const lectavo::SampledGrid grid = WithFunctionPatterns(sampled);
    constexpr int kPx = 4, kQuiet = 4;
    const int size = (grid.side + 2 * kQuiet) * kPx;
    std::vector<uint8_t> pixels(static_cast<size_t>(size) * size, 255);
    for (int r = 0; r < grid.side; ++r)
        for (int c = 0; c < grid.side; ++c)
            if (grid.At(r, c))
                for (int y = 0; y < kPx; ++y)
                    for (int x = 0; x < kPx; ++x)
                        pixels[static_cast<size_t>((r + kQuiet) * kPx + y) * size + (c + kQuiet) * kPx + x] = 0;
    const auto hints = ZXing::DecodeHints().setFormats(ZXing::BarcodeFormat::QRCode).setTryRotate(false);
    const auto result = ZXing::ReadBarcode(ZXing::ImageView(pixels.data(), size, size, ZXing::ImageFormat::Lum), hints);
    return result.isValid() ? result.text() : std::string();
}

struct Tally {
    int photos = 0, ours = 0, zxing = 0, either = 0;
    double oursMs = 0, zxingMs = 0;
};

}  // namespace

int main(int argc, char** argv) {
    fs::path root = fs::path(PROBE_SOURCE_DIR) / "testdata" / "qr-photos";  // the copy in the repository
    bool verbose = false;
    int limit = 32;
    for (int i = 1; i < argc; ++i) {
        const std::string a = argv[i];
        if (a == "-v")
            verbose = true;
        else if (a == "-n" && i + 1 < argc)
            limit = std::atoi(argv[++i]);
        else
            root = a;
    }
    std::vector<fs::path> pictures;
    for (const auto& e : fs::recursive_directory_iterator(root)) {
        const auto ext = e.path().extension().string();
        if ((ext == ".png" || ext == ".jpg" || ext == ".jpeg") &&
            fs::exists(fs::path(e.path()).replace_extension(".txt")))
            pictures.push_back(e.path());
    }
    std::sort(pictures.begin(), pictures.end());
    std::map<std::string, Tally> folders;
    for (const auto& path : pictures) {
        const std::string expected = ReadFile(fs::path(path).replace_extension(".txt"));
        QImage image(QString::fromStdString(path.string()));
        if (image.isNull()) continue;
        image = image.convertToFormat(QImage::Format_Grayscale8);
        const int w = image.width(), h = image.height();
        std::vector<uint8_t> grey(static_cast<size_t>(w) * h);
        for (int y = 0; y < h; ++y) std::copy_n(image.constScanLine(y), w, grey.data() + static_cast<size_t>(y) * w);

        bool ours = false;
        int grids = 0;
        double oracleMs = 0;
        const auto t0 = Clock::now();
        lectavo::photo::RunPhotoStage({grey.data(), w, h}, limit, [&](const lectavo::SampledGrid& g, const auto&) {
            ++grids;
            const auto o0 = Clock::now();
            const std::string text = ReadGrid(g);
            oracleMs += std::chrono::duration<double, std::milli>(Clock::now() - o0).count();
            if (text.empty()) return false;
            ours = ours || text == expected;
            return true;
        });
        const double oursMs = std::chrono::duration<double, std::milli>(Clock::now() - t0).count() - oracleMs;

        const auto z0 = Clock::now();
        const auto peer = ZXing::ReadBarcodes(ZXing::ImageView(grey.data(), w, h, ZXing::ImageFormat::Lum),
                                              ZXing::DecodeHints().setFormats(ZXing::BarcodeFormat::QRCode));
        const double zxingMs = std::chrono::duration<double, std::milli>(Clock::now() - z0).count();
        bool theirs = false;
        for (const auto& r : peer) theirs = theirs || r.text() == expected;

        Tally& t = folders[path.parent_path().filename().string()];
        ++t.photos;
        t.ours += ours;
        t.zxing += theirs;
        t.either += ours || theirs;
        t.oursMs += oursMs;
        t.zxingMs += zxingMs;
        if (verbose)
            std::printf("%-40s %dx%d ours %d (%d grids, %.1f ms) zxing %d (%.1f ms)\n",
                        path.lexically_relative(root).c_str(), w, h, ours, grids, oursMs, theirs, zxingMs);
    }
    Tally all;
    std::printf("%-10s %6s %6s %9s %6s %9s %6s\n", "folder", "photos", "ours", "ours ms", "zxing", "zxing ms",
                "either");
    for (const auto& [name, t] : folders) {
        std::printf("%-10s %6d %6d %9.1f %6d %9.1f %6d\n", name.c_str(), t.photos, t.ours, t.oursMs, t.zxing, t.zxingMs,
                    t.either);
        all.photos += t.photos, all.ours += t.ours, all.zxing += t.zxing, all.either += t.either;
        all.oursMs += t.oursMs, all.zxingMs += t.zxingMs;
    }
    std::printf("%-10s %6d %6d %9.1f %6d %9.1f %6d\n", "total", all.photos, all.ours, all.oursMs, all.zxing,
                all.zxingMs, all.either);
    return 0;
}
