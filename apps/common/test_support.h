// Helpers for the programs' tests (header only; the test links ZXing).
#pragma once

#define ZX_USE_UTF8 1
#include <ZXing/ReadBarcode.h>

#include <QByteArray>
#include <QImage>
#include <QString>
#include <QWidget>

namespace apps::testing {

// The window's control of that name and type; stops the test without one.
template <typename T>
T* FindControl(QWidget* window, const char* name) {
    T* control = window->findChild<T*>(QString::fromUtf8(name));
    if (control == nullptr) qFatal("no control %s", name);
    return control;
}

// The data bytes of the QR symbol zxing-cpp finds in the picture; empty
// with `*found` false when it finds none.
inline QByteArray ReadSymbolBytes(const QImage& picture, bool* found) {
    const QImage grey = picture.convertToFormat(QImage::Format_Grayscale8);
    const auto hints = ZXing::DecodeHints().setFormats(ZXing::BarcodeFormat::QRCode);
    const ZXing::ImageView view(grey.constBits(), grey.width(), grey.height(), ZXing::ImageFormat::Lum,
                                static_cast<int>(grey.bytesPerLine()));
    const ZXing::Result result = ZXing::ReadBarcode(view, hints);
    *found = result.isValid();
    if (!*found) return {};
    const auto& bytes = result.bytes();
    return QByteArray(reinterpret_cast<const char*>(bytes.data()), static_cast<qsizetype>(bytes.size()));
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

}  // namespace apps::testing
