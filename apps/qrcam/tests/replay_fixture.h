// What the qrcam tests share: a program folder of their own that links to
// the built libraries (so the frame file never lands in the shared bin
// folder), and the pictures the replay source shows in place of a camera.
#pragma once

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QImage>
#include <QPainter>

#include <qrencode.h>

#include "binding/library_function.h"

namespace qrcam_test {

inline constexpr char kBlankMessage[] = "未找到 QR 代码符号。";

// Points the program folder at `folder` with links to the camera and
// decoder library files built beside the test program.
inline bool UseProgramFolder(const QString& folder) {
    const QDir bin(QCoreApplication::applicationDirPath());
    for (const char* library : {"Vistrel.dll", "Lectavo.dll"}) {
        const QString name = QString::fromLatin1(library);
        QFile::link(bin.filePath(name), QDir(folder).filePath(name));
    }
    platform::OverrideProgramFolder(QFile::encodeName(folder).toStdString());
    return QFile::exists(QDir(folder).filePath(QStringLiteral("Vistrel.dll")));
}

inline QImage BlankPicture() {
    QImage image(240, 240, QImage::Format_RGB32);
    image.fill(Qt::white);
    return image;
}

// A symbol holding the bytes `data` in byte mode, 6 pixels a module, with the
// 4-module quiet zone, made by an independent encoder.
inline QImage SymbolPicture(const QByteArray& data) {
    QRcode* code = QRcode_encodeString8bit(data.constData(), 0, QR_ECLEVEL_M);
    if (code == nullptr) return {};
    constexpr int kModule = 6;
    const int side = (code->width + 8) * kModule;
    QImage image(side, side, QImage::Format_RGB32);
    image.fill(Qt::white);
    QPainter painter(&image);
    for (int y = 0; y < code->width; ++y) {
        for (int x = 0; x < code->width; ++x) {
            if (code->data[y * code->width + x] & 1) {
                painter.fillRect((x + 4) * kModule, (y + 4) * kModule, kModule, kModule, Qt::black);
            }
        }
    }
    QRcode_free(code);
    return image;
}

}  // namespace qrcam_test
