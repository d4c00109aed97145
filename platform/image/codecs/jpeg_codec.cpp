// JPEG through libjpeg, for JPEG files the decoder's own JPEG reader did not
// take (a JPEG file under another name): RGB or grey pixels, CMYK read as
// inverted inks, the resolution of a JFIF header in whole dots per metre
// (cut, not rounded), as Qt's reader gives them.
#include <csetjmp>
#include <cstdio>

#include <jpeglib.h>

#include "image/codecs/codecs.h"

namespace platform::codecs {

namespace {

// Each 8 x 8 block of each component costs at least one bit in the file,
// so one byte holds at most 512 pixels.
constexpr int64_t kJpegPixelsPerByte = 512;

struct ErrorManager {
    jpeg_error_mgr base;
    std::jmp_buf back;
};

[[noreturn]] void ErrorExit(j_common_ptr info) { std::longjmp(reinterpret_cast<ErrorManager*>(info->err)->back, 1); }
void DiscardMessage(j_common_ptr) {}

struct Decoding {
    jpeg_decompress_struct info{};
    ErrorManager errors{};
    bool created = false;
    ~Decoding() {
        if (created) jpeg_destroy_decompress(&info);
    }
};

ImageStatus Read(Decoding& d, Bytes file, const Limits& limits, Picture& out) {
    d.info.err = jpeg_std_error(&d.errors.base);
    d.errors.base.error_exit = ErrorExit;
    d.errors.base.output_message = DiscardMessage;
    if (setjmp(d.errors.back)) return ImageStatus::kUnreadable;
    jpeg_create_decompress(&d.info);
    d.created = true;
    jpeg_mem_src(&d.info, file.data, static_cast<unsigned long>(file.size));
    jpeg_read_header(&d.info, TRUE);
    const int64_t width = d.info.image_width, height = d.info.image_height;
    const ImageStatus announced = CheckAnnounced(
        width, height, limits, [&] { return width * height <= static_cast<int64_t>(file.size) * kJpegPixelsPerByte; });
    if (announced != ImageStatus::kOk) return announced;
    // libjpeg's own buffers (a progressive file keeps every coefficient)
    // stay within a few times the picture.
    d.info.mem->max_memory_to_use = static_cast<long>(width * height * 8 + (int64_t{16} << 20));
    if (d.info.jpeg_color_space == JCS_CMYK || d.info.jpeg_color_space == JCS_YCCK)
        d.info.out_color_space = JCS_CMYK;
    else if (d.info.num_components != 1)
        d.info.out_color_space = JCS_RGB;
    if (d.info.density_unit == 1)
        SetDotsPerMetre(out, static_cast<int>(100. * d.info.X_density / 2.54),
                        static_cast<int>(100. * d.info.Y_density / 2.54));
    else if (d.info.density_unit == 2)
        SetDotsPerMetre(out, static_cast<int>(100. * d.info.X_density), static_cast<int>(100. * d.info.Y_density));
    jpeg_start_decompress(&d.info);
    const int components = d.info.output_components;
    if (components != 1 && components != 3 && components != 4) return ImageStatus::kUnreadable;
    if (Allocate(out, static_cast<int>(d.info.output_width), static_cast<int>(d.info.output_height)) !=
        ImageStatus::kOk)
        return ImageStatus::kOutOfMemory;
    JSAMPARRAY row = (*d.info.mem->alloc_sarray)(reinterpret_cast<j_common_ptr>(&d.info), JPOOL_IMAGE,
                                                 d.info.output_width * static_cast<JDIMENSION>(components), 1);
    while (d.info.output_scanline < d.info.output_height) {
        uint32_t* line = out.pixels.data() + static_cast<size_t>(d.info.output_scanline) * d.info.output_width;
        jpeg_read_scanlines(&d.info, row, 1);
        const JSAMPLE* p = row[0];
        for (JDIMENSION x = 0; x < d.info.output_width; ++x, p += components) {
            uint32_t r, g, b;
            if (components == 1) {
                r = g = b = p[0];
            } else if (components == 3) {
                r = p[0], g = p[1], b = p[2];
            } else {
                const uint32_t k = p[3];
                r = k * p[0] / 255, g = k * p[1] / 255, b = k * p[2] / 255;
            }
            line[x] = 0xFF000000u | r << 16 | g << 8 | b;
        }
    }
    jpeg_finish_decompress(&d.info);
    return ImageStatus::kOk;
}

}  // namespace

ImageStatus DecodeJpeg(Bytes file, const Limits& limits, Picture& out) {
    Decoding d;
    const ImageStatus status = Read(d, file, limits, out);
    if (status != ImageStatus::kOk) out = Picture{};
    return status;
}

}  // namespace platform::codecs
