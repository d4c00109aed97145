// Seeds: a few public photos, reduced and in grey, and small symbols
// (versions 1, 2 and 7 at two or three pixels a module) drawn the way a
// camera sees them (turned, in perspective, light on dark, mirrored, under
// uneven light), each as width and height in four bytes, a settings byte,
// then the grey pixels. Every picture fits in the 96 x 96 pixels the
// photo targets read, and every symbol seed is checked to decode, so the
// fuzzer starts from the deep paths.
#include <QImage>
#include <QPainter>
#include <QTransform>
#include <cstdio>

#include "array_input.h"
#include "lectavo.h"
#include "seed_writer.h"
#include "test_pictures.h"

namespace {

constexpr int kLongestSide = fuzzing::kPhotoMaxSide;

std::vector<uint8_t> GreyPixels(const QImage& picture) {
    const QImage grey = picture.convertToFormat(QImage::Format_Grayscale8);
    std::vector<uint8_t> pixels;
    pixels.reserve(static_cast<size_t>(grey.width()) * static_cast<size_t>(grey.height()));
    for (int y = 0; y < grey.height(); ++y) {
        const uchar* row = grey.constScanLine(y);
        pixels.insert(pixels.end(), row, row + grey.width());
    }
    return pixels;
}

std::vector<uint8_t> SeedOf(const QImage& picture, uint8_t settings) {
    return fuzzing::GreyArrayInput(picture.width(), picture.height(), GreyPixels(picture), {settings});
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

QImage SymbolImage(const std::string& text, int version, int modulePx, int quiet) {
    const testpics::Picture p = testpics::Render(testpics::FromQrencode(text, version, 1), modulePx, quiet);
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

// Writes a symbol seed once the whole decode call reads it.
bool WriteSymbolSeed(const char* folder, const std::string& name, const QImage& picture, uint8_t settings) {
    if (picture.width() > kLongestSide || picture.height() > kLongestSide) {
        std::fprintf(stderr, "seed %s: %d x %d is larger than the targets read\n", name.c_str(), picture.width(),
                     picture.height());
        return false;
    }
    const std::vector<uint8_t> pixels = GreyPixels(picture);
    SetDecodeEffectLevel(3);
    SetDecodeSymbolCount(1);
    const int found = DecodeGrayScaleArray(pixels.data(), picture.width(), picture.height());
    FreeAllocateMemory();
    if (found < 1) {
        std::fprintf(stderr, "seed %s: the symbol does not decode\n", name.c_str());
        return false;
    }
    return fuzzing::WriteSeed(folder, name,
                              fuzzing::GreyArrayInput(picture.width(), picture.height(), pixels, {settings}));
}

// The settings bytes (read differently by the two photo targets) vary the
// symbol count or limit, the grids decoded and the minimum module size.
bool WriteSymbolSeeds(const char* folder) {
    const QImage small = SymbolImage("photo seed", 1, 2, 2);  // 50 x 50
    bool ok = WriteSymbolSeed(folder, "turned", Drawn(small, QTransform().translate(34, 8).rotate(33), 84, 86), 0x1C);
    QTransform perspective;
    const QPolygonF square(
        {{0, 0}, {qreal(small.width()), 0}, {qreal(small.width()), qreal(small.height())}, {0, qreal(small.height())}});
    const QPolygonF seen({{8, 12}, {70, 4}, {84, 86}, {14, 70}});
    ok &= QTransform::quadToQuad(square, seen, perspective);
    ok &= WriteSymbolSeed(folder, "perspective", Drawn(small, perspective, 92, 92), 0x07);

    QImage dark = SymbolImage("photo seed", 1, 3, 2);  // 75 x 75
    dark.invertPixels();
    ok &= WriteSymbolSeed(folder, "light_on_dark", dark, 0x08);
    ok &= WriteSymbolSeed(folder, "mirrored", small.mirrored(true, false), 0);

    const QImage fine = SymbolImage("version seven holds its version information", 7, 2, 1);  // 94 x 94
    ok &= WriteSymbolSeed(folder, "two_pixel_modules", fine, 0x1F);

    // A shadow: the light falls off from left to right.
    const QImage second = SymbolImage("a shadow on version two", 2, 2, 1);  // 54 x 54
    QImage shaded = Drawn(second, QTransform().translate(8, 8), second.width() + 16, second.height() + 16);
    for (int y = 0; y < shaded.height(); ++y)
        for (int x = 0; x < shaded.width(); ++x) {
            const int grey = qGray(shaded.pixel(x, y)) * (shaded.width() - x / 2) / shaded.width();
            shaded.setPixel(x, y, qRgb(grey, grey, grey));
        }
    ok &= WriteSymbolSeed(folder, "shadow", shaded, 0x01);
    return ok;
}

}  // namespace

int main(int argc, char** argv) {
    if (argc < 2) return 2;
    bool ok = WritePhotoSeeds(argv[1]);
    ok &= WriteSymbolSeeds(argv[1]);
    return ok ? 0 : 1;
}
