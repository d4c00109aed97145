#include "input/jpeg_reader.h"

#include <cerrno>
#include <csetjmp>
#include <cstdio>
#include <cstring>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <jpeglib.h>
#include <jerror.h>

namespace lectavo {

namespace {

// Each 8 x 8 block of each component costs at least one bit of a
// Huffman-coded file, so a file holds at most 512 pixels a byte; a header
// announcing more is refused before anything is allocated.
constexpr int64_t kPixelsPerByte = 512;
// Offset of the row libjpeg writes from its aligned allocation (see Decode).
constexpr int kRowShift = 4;

// Opens a regular file read-only without waiting (a pipe without a writer
// would block an ordinary open); returns the descriptor and the file's size,
// or -1 with errno set (EISDIR for a folder, ENODEV for a pipe or device).
int OpenForReading(const char* path, int64_t& size) {
    const int fd = ::open(path, O_RDONLY | O_CLOEXEC | O_NONBLOCK | O_NOCTTY);
    if (fd < 0) return -1;
    struct stat info {};
    const bool known = ::fstat(fd, &info) == 0;
    if (!known || !S_ISREG(info.st_mode)) {
        const int error = !known ? errno : S_ISDIR(info.st_mode) ? EISDIR : ENODEV;
        ::close(fd);
        errno = error;
        return -1;
    }
    // Reads block from here on, as for any regular file.
    ::fcntl(fd, F_SETFL, ::fcntl(fd, F_GETFL) & ~O_NONBLOCK);
    size = info.st_size;
    return fd;
}

// libjpeg's standard error manager with the fatal-error routine replaced by
// a jump back into the reader; warnings and messages are discarded.
struct ErrorManager {
    jpeg_error_mgr base;
    std::jmp_buf back;
};

[[noreturn]] void ErrorExit(j_common_ptr info) {
    char message[JMSG_LENGTH_MAX];
    (*info->err->format_message)(info, message);
    std::longjmp(reinterpret_cast<ErrorManager*>(info->err)->back, 1);
}

void DiscardMessage(j_common_ptr) {}

// How libjpeg delivers a row: grey, RGB, RGB padded to four bytes (asked
// for where libjpeg offers it: the loop to grey then runs on whole vectors),
// or CMYK (YCCK converted by libjpeg; files carrying an Adobe marker store
// the inks inverted).
enum class Layout { kGrey, kRgb, kRgbx, kCmyk };

uint8_t CmykGrey(const JSAMPLE* p, bool invertedInks) {
    uint32_t c = p[0], m = p[1], y = p[2], k = p[3];
    if (!invertedInks) {
        c = 255 - c;
        m = 255 - m;
        y = 255 - y;
        k = 255 - k;
    }
    return GreyOf(c * k / 255, m * k / 255, y * k / 255);
}

// One row of `count` pixels to grey, the layout chosen once a row so that
// each loop is branch-free.
void GreyRow(const JSAMPLE* __restrict p, int count, Layout layout, bool invertedInks, uint8_t* __restrict out) {
    switch (layout) {
        case Layout::kGrey:
            std::memcpy(out, p, static_cast<size_t>(count));
            return;
        case Layout::kRgb:
            for (int x = 0; x < count; ++x) out[x] = GreyOf(p[3 * x], p[3 * x + 1], p[3 * x + 2]);
            return;
        case Layout::kRgbx:
            for (int x = 0; x < count; ++x) out[x] = GreyOf(p[4 * x], p[4 * x + 1], p[4 * x + 2]);
            return;
        case Layout::kCmyk:
            for (int x = 0; x < count; ++x) out[x] = CmykGrey(p + 4 * x, invertedInks);
    }
}

// Everything that must survive a longjmp lives outside the function that
// calls setjmp, or is only written before it.
struct Decoding {
    jpeg_decompress_struct info{};
    ErrorManager errors{};
    std::FILE* file = nullptr;
    int64_t fileSize = 0;
    bool created = false;

    ~Decoding() {
        if (created) jpeg_destroy_decompress(&info);
        if (file) std::fclose(file);
    }
};

enum class Outcome { kImage, kNoImage, kFailed, kRefused };

Outcome Decode(Decoding& d, const PictureRect* rect, GrayPicture& out) {
    d.info.err = jpeg_std_error(&d.errors.base);
    d.errors.base.error_exit = ErrorExit;
    d.errors.base.output_message = DiscardMessage;
    if (setjmp(d.errors.back)) return Outcome::kFailed;
    jpeg_create_decompress(&d.info);
    d.created = true;
    jpeg_stdio_src(&d.info, d.file);
    jpeg_read_header(&d.info, TRUE);
    const int64_t width = d.info.image_width, height = d.info.image_height;
    if (!WithinSizeLimit(width, height) || width * height > d.fileSize * kPixelsPerByte) return Outcome::kRefused;
    // libjpeg's own buffers (a progressive file keeps every coefficient, two
    // bytes a sample) stay within a few times the picture.
    d.info.mem->max_memory_to_use = static_cast<long>(width * height * 8 + (int64_t{16} << 20));
#ifdef JCS_EXTENSIONS
    if (d.info.out_color_space == JCS_RGB) d.info.out_color_space = JCS_EXT_RGBX;
#endif
    jpeg_start_decompress(&d.info);

    const int components = d.info.output_components;
    Layout layout;
    if (components == 1)
        layout = Layout::kGrey;
    else if (components == 3)
        layout = Layout::kRgb;
    else if (components == 4)
        layout = d.info.out_color_space == JCS_CMYK ? Layout::kCmyk : Layout::kRgbx;
    else
        return Outcome::kFailed;
    const bool invertedInks = d.info.saw_Adobe_marker;
    PictureRect window;
    if (!ClipToPicture(static_cast<int>(d.info.output_width), static_cast<int>(d.info.output_height), rect, window))
        return Outcome::kNoImage;
    out.Allocate(window.right - window.left, window.bottom - window.top);

    // The row starts 4 bytes past an aligned address: libjpeg-turbo writes
    // aligned rows with non-temporal stores, which send every pixel to main
    // memory just before this loop reads it back.
    JSAMPARRAY block = (*d.info.mem->alloc_sarray)(reinterpret_cast<j_common_ptr>(&d.info), JPOOL_IMAGE,
                                                   d.info.output_width * static_cast<JDIMENSION>(components) + 64, 1);
    JSAMPROW shifted = block[0] + kRowShift;
    JSAMPARRAY row = &shifted;
    uint8_t* grey = out.pixels.data();
    // Every scanline is read, also below the rectangle, so that damage
    // anywhere in the file is noticed the same way.
    while (d.info.output_scanline < d.info.output_height) {
        const int y = static_cast<int>(d.info.output_scanline);
        jpeg_read_scanlines(&d.info, row, 1);
        if (y < window.top || y >= window.bottom) continue;
        GreyRow(row[0] + static_cast<ptrdiff_t>(window.left) * components, window.right - window.left, layout,
                invertedInks, grey);
        grey += window.right - window.left;
    }
    jpeg_finish_decompress(&d.info);
    return Outcome::kImage;
}

}  // namespace

int ReadJpeg(const char* path, const PictureRect* rect, GrayPicture& out) {
    Decoding d;
    const int fd = OpenForReading(path, d.fileSize);
    if (fd < 0 || !(d.file = ::fdopen(fd, "rb"))) {
        const int error = errno;
        if (fd >= 0) ::close(fd);
        if (error == ENOENT || error == ENOTDIR) return kFileNotFound;
        if (error == EACCES || error == EPERM) return kSharingViolation;
        return kUnreadable;
    }
    switch (Decode(d, rect, out)) {
        case Outcome::kImage:
            break;
        case Outcome::kNoImage:
            out.pixels.clear();
            return 0;
        case Outcome::kRefused:
            out.pixels.clear();
            return kUnreadable;
        case Outcome::kFailed:
            out.pixels.clear();
            return d.errors.base.msg_code == JERR_OUT_OF_MEMORY ? kOutOfMemory : kUnreadable;
    }
    GreyRange range;
    range.AddAll(out.pixels.data(), out.pixels.size());
    out.threshold = range.Threshold();
    return 0;
}

}  // namespace lectavo
