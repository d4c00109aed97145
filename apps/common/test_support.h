// Helpers for the programs' tests (header only; the test links ZXing).
#pragma once

#define ZX_USE_UTF8 1
#include <ZXing/ReadBarcode.h>

#include <QByteArray>
#include <QImage>
#include <QString>
#include <QWidget>
#include <algorithm>
#include <csignal>
#include <sys/resource.h>

namespace apps::testing {

// The window's control of that name and type; stops the test without one.
template <typename T>
T* FindControl(QWidget* window, const char* name) {
    T* control = window->findChild<T*>(QString::fromUtf8(name));
    if (control == nullptr) qFatal("no control %s", name);
    return control;
}

// The data bytes of the QR symbol zxing-cpp finds in the picture; empty
// with `*found` false when it finds none. `pure` reads a picture that holds
// nothing but one upright symbol.
inline QByteArray ReadSymbolBytes(const QImage& picture, bool* found, bool pure = false) {
    const QImage grey = picture.convertToFormat(QImage::Format_Grayscale8);
    const auto hints = ZXing::DecodeHints().setFormats(ZXing::BarcodeFormat::QRCode).setIsPure(pure);
    const ZXing::ImageView view(grey.constBits(), grey.width(), grey.height(), ZXing::ImageFormat::Lum,
                                static_cast<int>(grey.bytesPerLine()));
    const ZXing::Result result = ZXing::ReadBarcode(view, hints);
    *found = result.isValid();
    if (!*found) return {};
    const auto& bytes = result.bytes();
    return QByteArray(reinterpret_cast<const char*>(bytes.data()), static_cast<qsizetype>(bytes.size()));
}

// Width of the dark modules' bounding box of a symbol picture.
inline int DarkWidth(const QImage& picture) {
    const QImage grey = picture.convertToFormat(QImage::Format_Grayscale8);
    int left = grey.width(), right = -1;
    for (int y = 0; y < grey.height(); ++y) {
        const uchar* row = grey.constScanLine(y);
        for (int x = 0; x < grey.width(); ++x) {
            if (row[x] < 128) {
                left = std::min(left, x);
                right = std::max(right, x);
            }
        }
    }
    return right < left ? 0 : right - left + 1;
}

// A picture of a symbol of `version` drawn by the generator windows: it
// reads as `expected`, keeps 8-pixel modules while the symbol fits, and
// otherwise has the symbol and a 4-module quiet zone inside the picture.
inline bool IsWholeSymbol(const QImage& picture, int version, const QByteArray& expected) {
    bool found = false;
    // zxing-cpp 1.4 finds no version 40 symbol of 2-pixel modules by search;
    // read as the only thing in the picture, it does.
    const QByteArray data = ReadSymbolBytes(picture, &found, version == 40);
    if (data != expected || !found) return false;
    const int side = 17 + 4 * version;
    const int width = DarkWidth(picture);
    if (width % side != 0) return false;
    const int module = width / side;
    return side * 8 <= picture.width() ? module == 8 : width + 8 * module <= picture.width();
}

// The symbol's error-correction level as zxing-cpp reports it ("L" .. "H").
inline QString ReadSymbolLevel(const QImage& picture) {
    const QImage grey = picture.convertToFormat(QImage::Format_Grayscale8);
    const ZXing::ImageView view(grey.constBits(), grey.width(), grey.height(), ZXing::ImageFormat::Lum,
                                static_cast<int>(grey.bytesPerLine()));
    const ZXing::Result result =
        ZXing::ReadBarcode(view, ZXing::DecodeHints().setFormats(ZXing::BarcodeFormat::QRCode));
    return QString::fromStdString(result.ecLevel());
}

// While it lives, files this process writes cannot grow past `bytes`: a
// write past that fails as on a full disk.
class FileSizeLimit {
public:
    explicit FileSizeLimit(rlim_t bytes) {
        struct sigaction ignore {};
        ignore.sa_handler = SIG_IGN;
        sigaction(SIGXFSZ, &ignore, &old_action_);
        getrlimit(RLIMIT_FSIZE, &old_limit_);
        rlimit small = old_limit_;
        small.rlim_cur = bytes;
        setrlimit(RLIMIT_FSIZE, &small);
    }
    ~FileSizeLimit() {
        setrlimit(RLIMIT_FSIZE, &old_limit_);
        sigaction(SIGXFSZ, &old_action_, nullptr);
    }
    FileSizeLimit(const FileSizeLimit&) = delete;
    FileSizeLimit& operator=(const FileSizeLimit&) = delete;

private:
    struct sigaction old_action_ {};
    rlimit old_limit_{};
};

}  // namespace apps::testing
