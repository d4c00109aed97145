// Seeds: small PNG (1-bit and colour), GIF, BMP with unequal resolutions and
// JPEG files.
#include <QImage>

#include "picture_files.h"
#include "seed_writer.h"

int main(int argc, char** argv) {
    if (argc < 2) return 2;
    const char* folder = argv[1];
    QImage mono(24, 22, QImage::Format_Mono);
    mono.fill(0);
    for (int i = 0; i < 22; ++i) mono.setPixel(i, i, 1);
    bool ok = mono.save(QString::fromStdString(fuzzing::SeedPath(folder, "mono.png")));
    QImage colour(24, 22, QImage::Format_RGB32);
    colour.fill(qRgb(200, 30, 90));
    ok &= colour.save(QString::fromStdString(fuzzing::SeedPath(folder, "colour.png")));
    ok &= fuzzing::WriteSeed(folder, "bars.gif", testfiles::MakeGif(22, 21, [](int x, int) { return x % 3; }));
    std::vector<uint8_t> grey(24 * 22);
    for (size_t i = 0; i < grey.size(); ++i) grey[i] = static_cast<uint8_t>(i * 7);
    ok &= fuzzing::WriteSeed(folder, "dpi.bmp", testfiles::GreyBmp(grey, 24, 22, 7874, 3937));
    testfiles::WriteJpeg(
        fuzzing::SeedPath(folder, "grey.jpg"), 24, 22, 1, [](int x, int y, int) { return static_cast<uint8_t>(x * y); },
        75);
    return ok ? 0 : 1;
}
