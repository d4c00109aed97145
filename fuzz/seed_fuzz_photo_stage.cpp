// Seeds: a few public photos, reduced and in grey, and symbols drawn the way
// a camera sees them (turned, in perspective, light on dark, mirrored, with
// two-pixel modules, under uneven light), each as width and height in four
// bytes, a symbol count byte, then the grey pixels.
#include <QImage>
#include <QPainter>
#include <QTransform>

#include "seed_writer.h"
#include "test_pictures.h"

namespace {

constexpr int kLongestSide = 240;  // keeps seeds within the fuzz build's 65,536 pixels, and fast

std::vector<uint8_t> SeedOf(const QImage& picture, uint8_t symbolCount) {
    const QImage grey = picture.convertToFormat(QImage::Format_Grayscale8);
    std::vector<uint8_t> pixels;
    pixels.reserve(static_cast<size_t>(grey.width()) * static_cast<size_t>(grey.height()));
    for (int y = 0; y < grey.height(); ++y) {
        const uchar* row = grey.constScanLine(y);
        pixels.insert(pixels.end(), row, row + grey.width());
    }
    return fuzzing::GreyArrayInput(grey.width(), grey.height(), pixels, {symbolCount});
}

bool WritePhotoSeeds(const char* folder) {
    bool ok = true;
    const char* photos[] = {"qrcode-1/1.png", "qrcode-3/01.png", "qrcode-4/07.png", "qrcode-5/01.png",
                            "qrcode-2/qr-inv-1.jpg"};
    int n = 0;
    for (const char* photo : photos) {
        QImage image(QStringLiteral(QR_SOURCE_DIR "/testdata/qr-photos/") + QString::fromLatin1(photo));
        if (image.isNull()) {
            ok = false;
            continue;
        }
        if (image.width() > kLongestSide || image.height() > kLongestSide)
            image = image.scaled(kLongestSide, kLongestSide, Qt::KeepAspectRatio, Qt::SmoothTransformation);
        ok &= fuzzing::WriteSeed(folder, "photo" + std::to_string(n++), SeedOf(image, 0));
    }
    return ok;
}

QImage SymbolImage(const std::string& text, int version, int modulePx) {
    const testpics::Picture p = testpics::Render(testpics::FromQrencode(text, version, 1), modulePx);
    QImage image(p.width, p.height, QImage::Format_Grayscale8);
    for (int y = 0; y < p.height; ++y)
        std::copy_n(&p.pixels[static_cast<size_t>(y) * p.width], p.width, image.scanLine(y));
    return image;
}

// `symbol` drawn through `transform` onto a light picture of the given size.
QImage Drawn(const QImage& symbol, const QTransform& transform, int width, int height) {
    QImage picture(width, height, QImage::Format_RGB32);
    picture.fill(Qt::white);
    QPainter painter(&picture);
    painter.setRenderHint(QPainter::SmoothPixmapTransform);
    painter.setTransform(transform);
    painter.drawImage(0, 0, symbol);
    return picture;
}

bool WriteSymbolSeeds(const char* folder) {
    const QImage small = SymbolImage("photo stage seed", 2, 4);
    bool ok = fuzzing::WriteSeed(folder, "turned",
                                 SeedOf(Drawn(small, QTransform().translate(140, 20).rotate(33), 250, 250), 1));
    QTransform perspective;
    const QPolygonF square(
        {{0, 0}, {qreal(small.width()), 0}, {qreal(small.width()), qreal(small.height())}, {0, qreal(small.height())}});
    const QPolygonF seen({{30, 40}, {210, 20}, {235, 240}, {45, 200}});
    ok &= QTransform::quadToQuad(square, seen, perspective);
    ok &= fuzzing::WriteSeed(folder, "perspective", SeedOf(Drawn(small, perspective, 250, 250), 2));

    QImage dark = small;
    dark.invertPixels();
    ok &= fuzzing::WriteSeed(folder, "light_on_dark", SeedOf(dark, 0));
    ok &= fuzzing::WriteSeed(folder, "mirrored", SeedOf(small.mirrored(true, false), 0));

    const QImage fine = SymbolImage("version seven holds its version information in two blocks", 7, 2);
    ok &= fuzzing::WriteSeed(folder, "two_pixel_modules", SeedOf(fine, 3));

    // A shadow: the light falls off from left to right.
    QImage shaded = Drawn(small, QTransform().translate(20, 20), small.width() + 40, small.height() + 40);
    for (int y = 0; y < shaded.height(); ++y)
        for (int x = 0; x < shaded.width(); ++x) {
            const int grey = qGray(shaded.pixel(x, y)) * (shaded.width() - x / 2) / shaded.width();
            shaded.setPixel(x, y, qRgb(grey, grey, grey));
        }
    ok &= fuzzing::WriteSeed(folder, "shadow", SeedOf(shaded, 0));
    return ok;
}

}  // namespace

int main(int argc, char** argv) {
    if (argc < 2) return 2;
    bool ok = WritePhotoSeeds(argv[1]);
    ok &= WriteSymbolSeeds(argv[1]);
    return ok ? 0 : 1;
}
