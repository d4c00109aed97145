// The C++ side of python/bench/compare.py: decodes grey PGM pictures (P5)
// with lectavo::Decode as qrsuite.decode does (one Workspace kept across
// calls), `rounds` times over the whole set, and prints the best round's
// wall-clock seconds, its processor seconds and the symbols found in it.
//
// usage: qrsuite_decode_loop ROUNDS MAX_SYMBOLS FILE.pgm...
#include <time.h>

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <string>
#include <vector>

#include "lectavo/decoder.hpp"

namespace {

struct Grey {
    int width = 0, height = 0;
    std::vector<uint8_t> pixels;
};

bool ReadPgm(const char* path, Grey& out) {
    std::ifstream in(path, std::ios::binary);
    std::string magic;
    int maxValue = 0;
    in >> magic >> out.width >> out.height >> maxValue;
    in.get();
    if (!in || magic != "P5" || maxValue != 255 || out.width <= 0 || out.height <= 0) return false;
    out.pixels.resize(static_cast<size_t>(out.width) * static_cast<size_t>(out.height));
    in.read(reinterpret_cast<char*>(out.pixels.data()), static_cast<std::streamsize>(out.pixels.size()));
    return static_cast<bool>(in);
}

double CpuSeconds() {
    timespec now{};
    clock_gettime(CLOCK_PROCESS_CPUTIME_ID, &now);
    return static_cast<double>(now.tv_sec) + static_cast<double>(now.tv_nsec) * 1e-9;
}

}  // namespace

int main(int argc, char** argv) {
    if (argc < 4) {
        std::fprintf(stderr, "usage: %s ROUNDS MAX_SYMBOLS FILE.pgm...\n", argv[0]);
        return 2;
    }
    const int rounds = std::atoi(argv[1]);
    lectavo::DecodeOptions options;
    options.maxSymbols = std::atoi(argv[2]);
    std::vector<Grey> pictures;
    for (int k = 3; k < argc; ++k) {
        Grey grey;
        if (!ReadPgm(argv[k], grey)) {
            std::fprintf(stderr, "cannot read %s\n", argv[k]);
            return 1;
        }
        pictures.push_back(std::move(grey));
    }
    lectavo::Workspace workspace;
    double best = 1e30, bestCpu = 1e30;
    size_t found = 0;
    for (int round = 0; round < rounds; ++round) {
        found = 0;
        const double cpuStart = CpuSeconds();
        const auto start = std::chrono::steady_clock::now();
        for (const Grey& grey : pictures) {
            lectavo::ImageView view{grey.pixels.data(), grey.width, grey.height, 0, lectavo::PixelFormat::kGrey};
            found += lectavo::Decode(view, options, workspace).size();
        }
        const std::chrono::duration<double> seconds = std::chrono::steady_clock::now() - start;
        if (seconds.count() < best) best = seconds.count();
        if (CpuSeconds() - cpuStart < bestCpu) bestCpu = CpuSeconds() - cpuStart;
    }
    std::printf("%.6f %.6f %zu\n", best, bestCpu, found);
    return 0;
}
