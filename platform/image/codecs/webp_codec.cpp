// WebP through libwebp: a still picture, lossy or lossless, as straight
// (not premultiplied) ARGB; 100 dots per inch, as Qt's reader reports.
#include <webp/decode.h>

#include "image/codecs/codecs.h"

namespace platform::codecs {

namespace {

// Neither WebP coding has a hard bound on its expansion (a lossless stream
// can repeat a pixel at no cost), so the bound is a generous one: 16384
// pixels a byte, more than any natural picture needs, and a file can claim
// the largest WebP size (16383 x 16383) only when it is 16 KB or more.
constexpr int64_t kWebpPixelsPerByte = 16384;

}  // namespace

ImageStatus DecodeWebp(Bytes file, const Limits& limits, Picture& out) {
    WebPBitstreamFeatures features;
    if (WebPGetFeatures(file.data, file.size, &features) != VP8_STATUS_OK || features.has_animation)
        return ImageStatus::kUnreadable;
    const ImageStatus announced = CheckAnnounced(
        features.width, features.height, limits,
        int64_t{features.width} * features.height <= static_cast<int64_t>(file.size) * kWebpPixelsPerByte);
    if (announced != ImageStatus::kOk) return announced;
    if (Allocate(out, features.width, features.height) != ImageStatus::kOk) {
        out = Picture{};
        return ImageStatus::kOutOfMemory;
    }
    // Blue, green, red, alpha bytes are a little-endian ARGB value.
    const size_t bytes = out.pixels.size() * sizeof(uint32_t);
    if (!WebPDecodeBGRAInto(file.data, file.size, reinterpret_cast<uint8_t*>(out.pixels.data()), bytes,
                            features.width * 4)) {
        out = Picture{};
        return ImageStatus::kUnreadable;
    }
    return ImageStatus::kOk;
}

}  // namespace platform::codecs
