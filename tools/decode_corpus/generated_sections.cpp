// Sections made of symbols drawn in memory: the end-to-end test pictures,
// every version at every quarter turn and module size, and distorted copies.
#include <cstdlib>
#include <fstream>
#include <sstream>
#include <string>

#include "../corpus_hash.h"
#include "common/qr_tables.h"
#include "corpus_sections.h"
#include "lectavo.h"
#include "symbols.h"

namespace corpus {

namespace {

std::vector<int> LevelsFor(int version) {
    if (version <= 7 || version % 7 == 0) return {0, 1, 2, 3};
    return {version % 4};
}

// Runs a segno script in the scratch folder; false when segno is missing.
bool RunSegno(const Context& c, const std::string& script) {
    const std::filesystem::path file = c.temp / "make.py";
    std::ofstream(file) << "import segno, os\nos.chdir('" << c.temp.string() << "')\n" << script;
    return std::system(("/usr/bin/python3 " + file.string() + " 2>/dev/null").c_str()) == 0;
}

void SegnoFiles(const Context& c) {
    std::string script = "for v in range(1, 7):\n  for k in range(8):\n";
    script += "    segno.make_qr('s%d.%d' % (v, k), version=v, error='LMQH'[(v + k) % 4], mask=k,\n";
    script += "                  boost_error=False).save('m%d_%d.png' % (v, k), scale=3 + (v + k) % 8, border=4)\n";
    script += "segno.make_sequence('Structured append across three symbols, one message. 0123456789',\n";
    script += "  symbol_count=3, error='M', boost_error=False).save('sa.png', scale=4, border=4)\n";
    if (!RunSegno(c, script)) {
        c.recorder.Note("segno not available: its pictures are missing");
        return;
    }
    for (int version = 1; version <= 6; ++version)
        for (int mask = 0; mask < 8; ++mask)
            RecordFile(c, Join("e2e/segno/v", version, "-mask", mask), c.temp / Join("m", version, "_", mask, ".png"));
    for (int i = 1; i <= 3; ++i) RecordFile(c, Join("e2e/segno/sa-", i), c.temp / Join("sa-03-0", i, ".png"));
}

void SeveralSymbols(const Context& c) {
    const int module = 4, quiet = 4, cell = (25 + 2 * quiet) * module + 20;
    const char* texts[4] = {"first", "second", "third", "fourth"};
    const int cellsX[4] = {0, 1, 2, 0}, cellsY[4] = {0, 0, 0, 1};
    Grey canvas;
    canvas.width = 3 * cell;
    canvas.height = 2 * cell;
    canvas.pixels.assign(static_cast<size_t>(canvas.width) * canvas.height, 255);
    for (int i : {2, 3, 0, 1})
        Paste(canvas, Draw(IndependentGrid(texts[i], 2, i % 4), module, quiet, 0), cellsX[i] * cell + 5 * cellsY[i],
              cellsY[i] * cell + 7 * cellsX[i]);
    RecordGrey(c, "e2e/four-symbols", canvas);
    SetDecodeSymbolCount(2);
    RecordGrey(c, "e2e/four-symbols-count2", canvas);
    SetDecodeSymbolCount(32);
    RecordGrey(c, "e2e/four-symbols-count32", canvas);
    SetDecodeSymbolCount(0);
}

}  // namespace

void RecordFile(const Context& c, const std::string& name, const std::filesystem::path& file) {
    c.recorder.Record(name, "file", DecodePictureFile(file.c_str()));
}

void RecordGrey(const Context& c, const std::string& name, const Grey& p) {
    c.recorder.Record(name, Join("grey ", p.width, "x", p.height),
                      DecodeGrayScaleArray(p.pixels.data(), p.width, p.height));
}

void RecordBinary(const Context& c, const std::string& name, const Grey& p) {
    const std::vector<uint8_t> plane = Binarize(p);
    c.recorder.Record(name, Join("binary ", p.width, "x", p.height),
                      DecodeBinaryArray(plane.data(), p.width, p.height));
}

void EndToEndSection(const Context& c) {
    int n = 0;
    for (int version = 1; version <= 40; ++version)
        for (int level : LevelsFor(version)) {
            ++n;
            const int module = version <= 6 ? 3 + n % 8 : (n % 2 ? 3 : 6);
            const Grid grid = IndependentGrid(FillingText(version, level), version, level);
            RecordGrey(c, Join("e2e/independent/v", version, "-l", level, "-px", module, "-t", n % 4),
                       Draw(grid, module, 4, n % 4));
        }
    for (int version = 1; version <= 6; ++version) {
        const int level = version % 4;
        RecordGrey(c, Join("e2e/two-px/v", version),
                   Draw(IndependentGrid(FillingText(version, level), version, level), 2, 4, 0));
    }
    n = 0;
    for (int version : {1, 2, 5, 7, 12, 25, 40}) {
        const int level = n % 4, module = version <= 6 ? 4 : 3;
        const Grid grid = IndependentGrid(FillingText(version, level), version, level);
        RecordBinary(c, Join("e2e/independent-binary/v", version, "-t", n % 4), Draw(grid, module, 4, n % 4));
        ++n;
    }
    n = 0;
    for (int version = 1; version <= 40; ++version)
        for (int level : LevelsFor(version)) {
            const int masks = version <= 6 ? 8 : 1;
            for (int mask = 0; mask < masks; ++mask) {
                ++n;
                const std::string text = Join("m", version, ".", level, ".", mask);
                const Grid grid = OurGrid(text, version, level, version <= 6 ? mask + 1 : 0);
                const int module = version <= 6 ? 3 + n % 8 : (n % 2 ? 6 : 3), turns = (n / 3) % 4;
                RecordGrey(c, Join("e2e/ours/v", version, "-l", level, "-mask", mask, "-px", module, "-t", turns),
                           Draw(grid, module, 4, turns));
            }
        }
    SegnoFiles(c);
    const std::string sjis = "\x93\x5f\xe4\xaa\x88\x9f QR";
    RecordGrey(c, "e2e/kanji", Draw(IndependentGrid(sjis, 2, 1, true), 5, 4, 0));
    SeveralSymbols(c);
    for (int version : {10, 20, 40}) {
        const Grey upright = Draw(IndependentGrid(FillingText(version, version % 4), version, version % 4), 4, 4, 0);
        RecordGrey(c, Join("e2e/stretched-y/v", version), ScaleShear(upright, 1.00, 1.03, 0.0));
        RecordGrey(c, Join("e2e/stretched-x/v", version), ScaleShear(upright, 1.03, 1.00, 0.0));
        RecordGrey(c, Join("e2e/sheared/v", version), ScaleShear(upright, 1.00, 1.00, 0.02));
        RecordGrey(c, Join("e2e/sheared-stretched/v", version), ScaleShear(upright, 1.00, 1.02, -0.02));
    }
}

void VersionSweepSection(const Context& c) {
    // Messages of every mode; the version is forced, the mask chosen.
    static const char* kModes[3] = {"numeric", "alphanumeric", "byte"};
    for (int version = 1; version <= 40; ++version) {
        const int level = version % 4, mode = version % 3;
        const int length = qrcommon::DataCodewords(version, level) / 2;
        std::string text;
        for (int i = 0; text.size() < static_cast<size_t>(length); ++i)
            text += mode == 0   ? static_cast<char>('0' + i % 10)
                    : mode == 1 ? "0123456789ABCDEFGHIJKLMNOPQRSTUVWXYZ $%*+-./:"[i % 45]
                                : static_cast<char>('a' + (i * 7) % 26);
        const Grid grid = OurGrid(text, version, level, 0);
        for (int turns = 0; turns < 4; ++turns)
            for (int module = 2; module <= 10; ++module) {
                // All sizes for the small versions; a third of them (every
                // size at some turn) for the larger, whose pictures are big.
                if (version > 10 && (version + turns + module) % 3 != 0) continue;
                RecordGrey(c, Join("sweep/v", version, "-", kModes[mode], "-l", level, "-t", turns, "-px", module),
                           Draw(grid, module, 4, turns));
            }
        RecordBinary(c, Join("sweep/v", version, "-", kModes[mode], "-l", level, "-t", version % 4, "-px4"),
                     Draw(grid, 4, 4, version % 4));
        if (version <= 10) {
            for (int effect = 0; effect < 3; ++effect) {
                SetDecodeEffectLevel(effect);
                RecordGrey(c, Join("sweep/v", version, "-", kModes[mode], "-l", level, "-t0-px3-effect", effect),
                           Draw(grid, 3, 4, 0));
            }
            SetDecodeEffectLevel(3);
        }
    }
}

void VariantSection(const Context& c) {
    int n = 0;
    for (int version : {1, 2, 3, 4, 5, 6, 7, 9, 12, 15, 19, 23, 27, 32, 36, 40}) {
        const int level = (version / 2) % 4, module = version <= 10 ? 5 : 3;
        const Grid grid = OurGrid(FillingText(version, level), version, level, 0);
        for (int variant = 0; variant < 12; ++variant, ++n) {
            Lcg random(static_cast<uint64_t>(n));
            const Grey base = Draw(grid, module, 4, n % 4);
            Grey p;
            std::string what;
            switch (variant) {
                case 0:
                    p = ScaleShear(base, 1.37, 1.37, 0.0), what = "scale1.37";
                    break;
                case 1:
                    p = ScaleShear(base, 0.8, 0.8, 0.0), what = "scale0.8";
                    break;
                case 2:
                    p = ScaleShear(base, 2.5, 2.5, 0.0), what = "scale2.5";
                    break;
                case 3:
                    p = ScaleShear(base, 1.0, 1.0, 0.05), what = "shear0.05";
                    break;
                case 4:
                    p = ScaleShear(base, 1.0, 1.02, -0.1), what = "shear-0.1";
                    break;
                case 5:
                    p = BoxBlur(base, 1), what = "blur1";
                    break;
                case 6:
                    p = BoxBlur(base, 2), what = "blur2";
                    break;
                case 7:
                    p = Noise(base, 40, random), what = "noise40";
                    break;
                case 8:
                    p = Noise(base, 90, random), what = "noise90";
                    break;
                case 9:
                    p = Contrast(base, 90, 170), what = "contrast90-170";
                    break;
                case 10:
                    p = Noise(Contrast(base, 60, 200), 30, random), what = "contrast-noise";
                    break;
                default:
                    p = ScaleShear(BoxBlur(base, 1), 1.1, 0.93, 0.03), what = "stretch-blur";
                    break;
            }
            const std::string name = Join("variant/v", version, "-l", level, "-t", n % 4, "-", what);
            RecordGrey(c, name, p);
            RecordBinary(c, name, p);
        }
    }
}

}  // namespace corpus
