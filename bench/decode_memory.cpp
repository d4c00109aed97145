// Peak memory of one decode call per picture file, each in a process of its
// own: the resident set's high-water mark (getrusage ru_maxrss) after
// lectavo::DecodeFile with the default options, less the resident set just
// before it. Checked against the bound the decoder keeps to (lectavo.h):
// 64 MiB + 5 bytes for each pixel the file really holds (0 for a file that
// cannot be read, so a header announcing a huge picture costs nothing), and
// for a progressive JPEG the coefficients libjpeg keeps, 2 bytes for every
// sample of every component.
//
//   decode_memory FILE...    one line a file, then a summary; exit status 1
//                            when any file went past the bound
//
// bench/decode_memory.sh runs it over the photos, crafted pictures, lying
// headers and the fuzz corpus.
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <cstdint>
#include <cstdio>
#include <cstring>
#include <fstream>
#include <string>

#include "input/picture_reader.h"
#include "lectavo/decoder.hpp"

namespace {

constexpr int64_t kBaseBytes = int64_t{64} << 20;
constexpr int64_t kBytesPerPixel = 5;

int64_t ResidentBytes() {
    std::ifstream statm("/proc/self/statm");
    int64_t size = 0, resident = 0;
    statm >> size >> resident;
    return resident * sysconf(_SC_PAGESIZE);
}

int64_t PeakResidentBytes() {
    rusage usage{};
    getrusage(RUSAGE_SELF, &usage);
    return int64_t{usage.ru_maxrss} * 1024;
}

// For a progressive JPEG (by its frame header, whatever the name), the bytes
// of coefficients libjpeg keeps until the last scan: 2 a sample of each
// component, in whole 8 x 8 blocks; 0 for any other file.
int64_t ProgressiveCoefficientBytes(const char* path) {
    std::ifstream in(path, std::ios::binary);
    const auto byte = [&] { return in.get(); };
    if (byte() != 0xFF || byte() != 0xD8) return 0;
    for (;;) {
        int marker = byte();
        if (marker != 0xFF) return 0;
        while ((marker = byte()) == 0xFF) {
        }
        if (marker < 0) return 0;
        const int length = byte() << 8 | byte();
        if (length < 2 || !in) return 0;
        const bool frame = marker >= 0xC0 && marker <= 0xCF && marker != 0xC4 && marker != 0xC8 && marker != 0xCC;
        if (!frame) {
            in.seekg(length - 2, std::ios::cur);
            continue;
        }
        const bool progressive = marker == 0xC2 || marker == 0xC6 || marker == 0xCA || marker == 0xCE;
        byte();  // sample precision
        const int64_t height = byte() << 8 | byte(), width = byte() << 8 | byte();
        const int components = byte();
        if (!progressive || !in || components <= 0) return 0;
        int h[4] = {}, v[4] = {}, hMax = 1, vMax = 1;
        for (int c = 0; c < components && c < 4; ++c) {
            byte();  // identifier
            const int factors = byte();
            h[c] = std::max(1, factors >> 4);
            v[c] = std::max(1, factors & 15);
            hMax = std::max(hMax, h[c]);
            vMax = std::max(vMax, v[c]);
            byte();  // quantisation table
        }
        int64_t bytes = 0;
        for (int c = 0; c < components && c < 4; ++c) {
            const int64_t columns = (width * h[c] + hMax - 1) / hMax, rows = (height * v[c] + vMax - 1) / vMax;
            bytes += ((columns + 7) / 8) * ((rows + 7) / 8) * 64 * 2;
        }
        return bytes;
    }
}

struct Measure {
    int64_t peak = 0;    // bytes above the resident set before the call
    int64_t pixels = 0;  // of the picture the file holds, 0 when unreadable
    int code = 0;        // symbols found, or -1 for a DecodeError
};

// In the child: decodes `path` once, then reads it again (after the peak is
// taken) for its pixel count.
Measure MeasureOne(const char* path) {
    Measure m;
    const int64_t before = ResidentBytes();
    try {
        m.code = static_cast<int>(lectavo::DecodeFile(path, lectavo::DecodeOptions{}).size());
    } catch (const lectavo::DecodeError&) {
        m.code = -1;
    }
    m.peak = PeakResidentBytes() - before;
    lectavo::GrayPicture picture;
    if (lectavo::ReadPicture(path, nullptr, picture) == 0 && picture.HasImage())
        m.pixels = int64_t{picture.width} * picture.height;
    return m;
}

}  // namespace

int main(int argc, char** argv) {
    if (argc < 2) {
        std::fprintf(stderr, "usage: decode_memory FILE...\n");
        return 2;
    }
    std::printf("%-60s %12s %10s %10s %8s %s\n", "file", "pixels", "peak MB", "bound MB", "symbols", "ok");
    int over = 0, failed = 0;
    double worst = 0;
    std::string worst_name;
    for (int i = 1; i < argc; ++i) {
        int ends[2];
        if (pipe(ends) != 0) return 2;
        std::fflush(stdout);
        const pid_t child = fork();
        if (child == 0) {
            close(ends[0]);
            const Measure m = MeasureOne(argv[i]);
            const bool written = write(ends[1], &m, sizeof m) == static_cast<ssize_t>(sizeof m);
            _exit(written ? 0 : 1);
        }
        close(ends[1]);
        Measure m;
        const bool got = child > 0 && read(ends[0], &m, sizeof m) == static_cast<ssize_t>(sizeof m);
        close(ends[0]);
        int status = 0;
        if (child > 0) waitpid(child, &status, 0);
        std::string name = argv[i];
        if (name.size() > 60) name = "..." + name.substr(name.size() - 57);
        if (!got || !WIFEXITED(status) || WEXITSTATUS(status) != 0) {
            std::printf("%-60s failed (status 0x%x)\n", name.c_str(), status);
            ++failed;
            continue;
        }
        const int64_t bound =
            kBaseBytes + kBytesPerPixel * m.pixels + (m.pixels > 0 ? ProgressiveCoefficientBytes(argv[i]) : 0);
        const bool ok = m.peak <= bound;
        if (!ok) ++over;
        const double share = static_cast<double>(m.peak) / static_cast<double>(bound);
        if (share > worst) {
            worst = share;
            worst_name = name;
        }
        std::printf("%-60s %12lld %10.1f %10.1f %8d %s\n", name.c_str(), static_cast<long long>(m.pixels),
                    static_cast<double>(m.peak) / (1 << 20), static_cast<double>(bound) / (1 << 20), m.code,
                    ok ? "ok" : "OVER");
    }
    std::printf("%d files, %d over the bound, %d failed; the closest: %s at %.0f %% of its bound\n", argc - 1, over,
                failed, worst_name.c_str(), 100 * worst);
    return over || failed ? 1 : 0;
}
