// Sections read from files: rectangles of BMP files (also with non-square
// pixels), the photo collection at every quarter turn, and damaged or
// misleading files.
#include <sys/stat.h>

#include <QImage>
#include <QTransform>
#include <algorithm>
#include <sstream>
#include <string>

#include "corpus_sections.h"
#include "lectavo.h"
#include "symbols.h"

namespace fs = std::filesystem;

namespace corpus {

namespace {

void RecordRect(const Context& c, const std::string& name, const fs::path& file, int x1, int y1, int x2, int y2) {
    c.recorder.Record(name, Join("rect ", x1, ",", y1, ",", x2, ",", y2),
                      DecodePictureFileRect(file.c_str(), x1, y1, x2, y2));
}

fs::path Write(const Context& c, const std::string& fileName, const std::vector<uint8_t>& bytes) {
    const fs::path path = c.temp / fileName;
    WriteFile(path, bytes);
    return path;
}

// Every `step`-th row (across = false) or column of the picture.
Grey Thin(const Grey& p, int step, bool across) {
    Grey out;
    out.width = across ? (p.width + step - 1) / step : p.width;
    out.height = across ? p.height : (p.height + step - 1) / step;
    out.pixels.resize(static_cast<size_t>(out.width) * out.height);
    for (int y = 0; y < out.height; ++y)
        for (int x = 0; x < out.width; ++x) out.At(x, y) = p.At(across ? x * step : x, across ? y : y * step);
    return out;
}

}  // namespace

void RectangleSection(const Context& c) {
    // Two symbols side by side: version 2 at 4 px (left), version 5 at 3 px.
    const Grey left = Draw(OurGrid("left symbol", 2, 1, 0), 4, 4, 0);
    const Grey right = Draw(OurGrid("right symbol, a little longer", 5, 2, 0), 3, 4, 1);
    Grey canvas;
    canvas.width = left.width + right.width + 40;
    canvas.height = std::max(left.height, right.height) + 30;
    canvas.pixels.assign(static_cast<size_t>(canvas.width) * canvas.height, 255);
    Paste(canvas, left, 10, 20);
    Paste(canvas, right, left.width + 30, 5);
    const int w = canvas.width, h = canvas.height, split = left.width + 20;
    for (bool oneBit : {false, true}) {
        const std::string kind = oneBit ? "1bit" : "8bit";
        const fs::path file = Write(c, "pair_" + kind + ".bmp", GreyBmp(canvas, oneBit));
        RecordFile(c, "rect/pair-" + kind, file);
        RecordRect(c, "rect/pair-" + kind, file, 0, 0, w, h);
        RecordRect(c, "rect/pair-" + kind, file, 0, 0, split, h);
        RecordRect(c, "rect/pair-" + kind, file, split, 0, w, h);
        RecordRect(c, "rect/pair-" + kind, file, w, h, split, 0);  // corners swapped
        RecordRect(c, "rect/pair-" + kind, file, -50, -50, split, h + 50);
        RecordRect(c, "rect/pair-" + kind, file, 40, 40, w, h);  // cuts the left symbol
        RecordRect(c, "rect/pair-" + kind, file, w + 10, 0, w + 100, h);
        RecordRect(c, "rect/pair-" + kind, file, 5, 5, 25, 25);
        RecordRect(c, "rect/pair-" + kind, file, 0, 0, 20, h);
    }
    // Non-square pixels: the file holds every second (third) row or column
    // and states the resolutions that make the decoder stretch it back.
    struct Stretch {
        const char* name;
        int step;
        bool across;
        uint32_t ppmX, ppmY;
    };
    const Stretch stretches[] = {{"200x100dpi", 2, false, 7874, 3937},
                                 {"100x200dpi", 2, true, 3937, 7874},
                                 {"100x300dpi", 3, true, 3937, 11811}};
    int n = 0;
    for (const Stretch& s : stretches)
        for (int version : {1, 4, 9}) {
            const Grey full = Draw(OurGrid(Join("stretched ", s.name, " ", version), version, n % 4, 0), 6, 4, n % 4);
            const Grey thin = Thin(full, s.step, s.across);
            const fs::path file = Write(c, Join("stretch_", n, ".bmp"), GreyBmp(thin, false, s.ppmX, s.ppmY));
            const std::string name = Join("rect/", s.name, "/v", version, "-t", n % 4);
            RecordFile(c, name, file);
            RecordRect(c, name, file, 0, 0, thin.width, thin.height);
            RecordRect(c, name, file, thin.width / 10, thin.height / 10, thin.width, thin.height);
            ++n;
        }
}

void PhotoSection(const Context& c) {
    if (c.photos.empty()) {
        c.recorder.Note("photo collection not found: its pictures are missing");
        return;
    }
    SetDecodeSymbolCount(32);
    c.recorder.Note("symbol count 32");
    std::vector<fs::path> files;
    for (const auto& entry : fs::recursive_directory_iterator(c.photos)) {
        const std::string ext = entry.path().extension().string();
        if (ext == ".png" || ext == ".jpg" || ext == ".jpeg" || ext == ".gif" || ext == ".bmp")
            files.push_back(entry.path());
    }
    std::sort(files.begin(), files.end());
    for (const fs::path& file : files) {
        const std::string name = "photo/" + fs::relative(file, c.photos).generic_string();
        RecordFile(c, name, file);
        const QImage image = QImage(QString::fromStdString(file.string())).convertToFormat(QImage::Format_Grayscale8);
        if (image.isNull()) continue;
        for (int turns = 0; turns < 4; ++turns) {
            const QImage turned = image.transformed(QTransform().rotate(90.0 * turns));
            Grey p;
            p.width = turned.width();
            p.height = turned.height();
            p.pixels.resize(static_cast<size_t>(p.width) * p.height);
            for (int y = 0; y < p.height; ++y)
                std::copy_n(turned.constScanLine(y), p.width, &p.pixels[static_cast<size_t>(y) * p.width]);
            RecordGrey(c, Join(name, "@", 90 * turns), p);
        }
    }
}

void HostileSection(const Context& c) {
    Grey bars;
    bars.width = bars.height = 64;
    bars.pixels.resize(64 * 64);
    for (int y = 0; y < 64; ++y)
        for (int x = 0; x < 64; ++x) bars.At(x, y) = x < 32 ? 0 : 255;
    const std::vector<uint8_t> whole = GreyBmp(bars);
    for (size_t size : {size_t{0}, size_t{10}, size_t{53}, size_t{54}, size_t{60}, size_t{54 + 1024}, whole.size() / 2,
                        whole.size() - 1}) {
        const std::vector<uint8_t> cut(whole.begin(), whole.begin() + static_cast<long>(size));
        RecordFile(c, Join("hostile/cut-bmp-", size), Write(c, Join("cut", size, ".bmp"), cut));
    }
    auto patched = [&](size_t at, uint32_t value) {
        std::vector<uint8_t> b = whole;
        for (int i = 0; i < 4; ++i) b[at + i] = static_cast<uint8_t>(value >> (8 * i));
        return b;
    };
    RecordFile(c, "hostile/header-size-huge", Write(c, "header.bmp", patched(14, 0x7FFFFFF0)));
    RecordFile(c, "hostile/width-huge", Write(c, "wide.bmp", patched(18, 0x7FFFFFFF)));
    RecordFile(c, "hostile/height-negative-huge", Write(c, "tall.bmp", patched(22, 0x80000001)));
    RecordFile(c, "hostile/rle8-compressed", Write(c, "rle.bmp", patched(30, 1)));
    RecordFile(c, "hostile/bitfields-compressed", Write(c, "fields.bmp", patched(30, 3)));
    RecordFile(c, "hostile/data-offset-past-end", Write(c, "offset.bmp", patched(10, 0xFFFFFF00)));
    RecordFile(c, "hostile/zero-resolution", Write(c, "zerodpi.bmp", patched(38, 0)));
    RecordFile(c, "hostile/text.png", Write(c, "text.png", std::vector<uint8_t>(100, 'x')));
    RecordFile(c, "hostile/text.jpeg", Write(c, "text.jpeg", std::vector<uint8_t>(100, 'x')));
    RecordFile(c, "hostile/absent.bmp", c.temp / "absent.bmp");
    RecordFile(c, "hostile/absent.png", c.temp / "absent.png");
    RecordFile(c, "hostile/absent-folder", c.temp / "absent" / "x.bmp");
    RecordFile(c, "hostile/folder", c.temp);
    // A symbol in a JPEG file named .BMP, and a PNG stating absurd resolutions.
    const Grey symbol = Draw(OurGrid("jpeg named bmp", 0, 1, 0), 4, 4, 0);
    QImage jpeg(symbol.pixels.data(), symbol.width, symbol.height, symbol.width, QImage::Format_Grayscale8);
    jpeg.save(QString::fromStdString((c.temp / "photo.BMP").string()), "JPEG", 90);
    RecordFile(c, "hostile/jpeg-named-bmp", c.temp / "photo.BMP");
    QImage ratio(60, 60, QImage::Format_RGB32);
    ratio.fill(Qt::white);
    ratio.setDotsPerMeterX(40);
    ratio.setDotsPerMeterY(2000000000);
    ratio.save(QString::fromStdString((c.temp / "ratio.png").string()), "PNG");
    RecordFile(c, "hostile/absurd-resolution-ratio", c.temp / "ratio.png");
    const fs::path locked = Write(c, "locked.bmp", whole);
    ::chmod(locked.c_str(), 0);
    RecordFile(c, ::geteuid() == 0 ? "hostile/locked-file(root)" : "hostile/locked-file", locked);
    ::chmod(locked.c_str(), 0600);
    // Arrays: too small, empty, and bare finder patterns in a grid.
    const std::vector<uint8_t> blank(64 * 64, 255);
    c.recorder.Record("hostile/array-20x20", "grey 20x20", DecodeGrayScaleArray(blank.data(), 20, 20));
    c.recorder.Record("hostile/array-0x0", "grey 0x0", DecodeGrayScaleArray(blank.data(), 0, 0));
    c.recorder.Record("hostile/array-negative", "grey -64x64", DecodeGrayScaleArray(blank.data(), -64, 64));
    c.recorder.Record("hostile/array-null", "grey null", DecodeGrayScaleArray(nullptr, 64, 64));
    c.recorder.Record("hostile/binary-null", "binary null", DecodeBinaryArray(nullptr, 64, 64));
    Grid finder;
    finder.side = 7;
    for (int r = 0; r < 7; ++r)
        for (int col = 0; col < 7; ++col) {
            const int ring = std::max(std::abs(r - 3), std::abs(col - 3));
            finder.dark.push_back(ring != 2);
        }
    const Grey one = Draw(finder, 4, 2, 0);
    Grey grid;
    grid.width = grid.height = 4 * one.width;
    grid.pixels.assign(static_cast<size_t>(grid.width) * grid.height, 255);
    for (int i = 0; i < 16; ++i) Paste(grid, one, (i % 4) * one.width, (i / 4) * one.height);
    RecordGrey(c, "hostile/finder-grid-4x4", grid);
}

const std::vector<Section>& Sections() {
    static const std::vector<Section> sections = {
        {"end-to-end", EndToEndSection},  {"sweep", VersionSweepSection}, {"variants", VariantSection},
        {"rectangles", RectangleSection}, {"photos", PhotoSection},       {"hostile", HostileSection},
    };
    return sections;
}

}  // namespace corpus
