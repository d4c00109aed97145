// Seeds: WebP files written by libwebp, lossless and lossy, with alpha.
#include <webp/encode.h>

#include <vector>

#include "seed_writer.h"

int main(int argc, char** argv) {
    if (argc < 2) return 2;
    const char* folder = argv[1];
    const int width = 24, height = 22;
    std::vector<uint8_t> rgba(static_cast<size_t>(width) * height * 4);
    for (size_t i = 0; i < rgba.size(); ++i) rgba[i] = static_cast<uint8_t>(i * 7);
    bool ok = true;
    uint8_t* out = nullptr;
    size_t size = WebPEncodeLosslessRGBA(rgba.data(), width, height, width * 4, &out);
    ok &= size > 0 && fuzzing::WriteSeed(folder, "lossless.webp", std::vector<uint8_t>(out, out + size));
    WebPFree(out);
    size = WebPEncodeRGBA(rgba.data(), width, height, width * 4, 60, &out);
    ok &= size > 0 && fuzzing::WriteSeed(folder, "lossy.webp", std::vector<uint8_t>(out, out + size));
    WebPFree(out);
    return ok ? 0 : 1;
}
