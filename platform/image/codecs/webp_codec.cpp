// WebP through libwebp: a still picture, lossy or lossless, as straight
// (not premultiplied) ARGB, or the first frame of an animation placed on a
// transparent canvas of the animation's size; 100 dots per inch, as Qt's
// reader reports.
#include <webp/decode.h>
#include <webp/demux.h>

#include "image/codecs/codecs.h"

namespace platform::codecs {

namespace {

// Neither WebP coding has a hard bound on its expansion (a lossless stream
// can repeat a pixel at no cost), so the bound is a generous one: 16384
// pixels a byte, more than any natural picture needs, and a file can claim
// the largest WebP size (16383 x 16383) only when it is 16 KB or more.
constexpr int64_t kWebpPixelsPerByte = 16384;

ImageStatus Check(int64_t width, int64_t height, Bytes file, const Limits& limits) {
    return CheckAnnounced(width, height, limits,
                          [&] { return width * height <= static_cast<int64_t>(file.size) * kWebpPixelsPerByte; });
}

// Decodes a still picture into `width` x `height` pixels at (left, top) of
// `out`; blue, green, red, alpha bytes are a little-endian ARGB value.
bool DecodeInto(const uint8_t* data, size_t size, int left, int top, Picture& out) {
    uint8_t* at = reinterpret_cast<uint8_t*>(out.pixels.data() + static_cast<size_t>(top) * out.width + left);
    const size_t bytes = (out.pixels.size() - (static_cast<size_t>(top) * out.width + left)) * sizeof(uint32_t);
    return WebPDecodeBGRAInto(data, size, at, bytes, out.width * 4) != nullptr;
}

struct Demuxer {
    WebPDemuxer* demux = nullptr;
    WebPIterator frame{};
    bool haveFrame = false;
    ~Demuxer() {
        if (haveFrame) WebPDemuxReleaseIterator(&frame);
        WebPDemuxDelete(demux);
    }
};

ImageStatus DecodeFirstFrame(Bytes file, const Limits& limits, Picture& out) {
    const WebPData data{file.data, file.size};
    Demuxer d;
    d.demux = WebPDemux(&data);
    if (!d.demux) return ImageStatus::kUnreadable;
    const int64_t width = WebPDemuxGetI(d.demux, WEBP_FF_CANVAS_WIDTH);
    const int64_t height = WebPDemuxGetI(d.demux, WEBP_FF_CANVAS_HEIGHT);
    const ImageStatus announced = Check(width, height, file, limits);
    if (announced != ImageStatus::kOk) return announced;
    d.haveFrame = WebPDemuxGetFrame(d.demux, 1, &d.frame) != 0;
    if (!d.haveFrame || d.frame.x_offset + int64_t{d.frame.width} > width ||
        d.frame.y_offset + int64_t{d.frame.height} > height)
        return ImageStatus::kUnreadable;
    if (Allocate(out, static_cast<int>(width), static_cast<int>(height)) != ImageStatus::kOk)
        return ImageStatus::kOutOfMemory;
    WebPBitstreamFeatures features;
    if (WebPGetFeatures(d.frame.fragment.bytes, d.frame.fragment.size, &features) != VP8_STATUS_OK ||
        features.width != d.frame.width || features.height != d.frame.height)
        return ImageStatus::kUnreadable;
    return DecodeInto(d.frame.fragment.bytes, d.frame.fragment.size, d.frame.x_offset, d.frame.y_offset, out)
               ? ImageStatus::kOk
               : ImageStatus::kUnreadable;
}

}  // namespace

ImageStatus DecodeWebp(Bytes file, const Limits& limits, Picture& out) {
    WebPBitstreamFeatures features;
    if (WebPGetFeatures(file.data, file.size, &features) != VP8_STATUS_OK) return ImageStatus::kUnreadable;
    ImageStatus status;
    if (features.has_animation) {
        status = DecodeFirstFrame(file, limits, out);
    } else {
        status = Check(features.width, features.height, file, limits);
        if (status == ImageStatus::kOk) status = Allocate(out, features.width, features.height);
        if (status == ImageStatus::kOk && !DecodeInto(file.data, file.size, 0, 0, out))
            status = ImageStatus::kUnreadable;
    }
    if (status != ImageStatus::kOk) out = Picture{};
    return status;
}

}  // namespace platform::codecs
