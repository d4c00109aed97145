// Seeds: WebP files written by libwebp, lossless and lossy, with alpha, and
// an animation of two frames.
#include <webp/encode.h>
#include <webp/mux.h>

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

    WebPAnimEncoderOptions options;
    WebPAnimEncoderOptionsInit(&options);
    WebPAnimEncoder* animation = WebPAnimEncoderNew(width, height, &options);
    WebPConfig config;
    WebPConfigInit(&config);
    config.lossless = 1;
    for (int frame = 0; frame < 2; ++frame) {
        WebPPicture picture;
        WebPPictureInit(&picture);
        picture.width = width;
        picture.height = height;
        picture.use_argb = 1;
        WebPPictureAlloc(&picture);
        for (int y = 0; y < height; ++y)
            for (int x = 0; x < width; ++x)
                picture.argb[y * picture.argb_stride + x] = x < 8 + 8 * frame ? 0xFF000000u : 0xFFFFFFFFu;
        ok &= WebPAnimEncoderAdd(animation, &picture, frame * 100, &config) != 0;
        WebPPictureFree(&picture);
    }
    WebPAnimEncoderAdd(animation, nullptr, 200, nullptr);
    WebPData assembled;
    WebPDataInit(&assembled);
    ok &= WebPAnimEncoderAssemble(animation, &assembled) != 0 &&
          fuzzing::WriteSeed(folder, "animation.webp",
                             std::vector<uint8_t>(assembled.bytes, assembled.bytes + assembled.size));
    WebPDataClear(&assembled);
    WebPAnimEncoderDelete(animation);
    return ok ? 0 : 1;
}
