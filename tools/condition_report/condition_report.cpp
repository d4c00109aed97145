// Scores QR Code readers on a photo collection sorted into condition folders
// (DIR/CONDITION/NAME.jpg beside NAME.txt with the outline of every symbol).
// A symbol counts as read when the centre of a result's four corners lies
// inside its outline; each outline counts once, and a second result inside an
// outline already read is a fault (one symbol reported twice). Each picture
// is read once, by the decoder's own file reader, and the same grey pixels go
// to our decoder (at each symbol count asked for), zxing-cpp and zbar; times
// are decoding alone.
//
// usage: condition_report [DIR] [-n COUNT|all]... [--only CONDITION] [--no-peers] [--misses] [-v]
//                         [--expect-all]
//   -n: our symbol count, one column each (default: 32 and all); --misses:
//   every outline the last of our columns missed, and every symbol reported
//   twice with both results; -v: one line a picture; --expect-all: exit
//   status 1 unless each of our columns read every outline, once, and
//   nothing outside them (a regression gate on a small collection).
// zbar first: zxing-cpp defines macros named like zbar's exception classes.
#include <zbar.h>
// clang-format off
#include <ZXing/ReadBarcode.h>
// clang-format on

#include <algorithm>
#include <chrono>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <map>
#include <sstream>
#include <string>
#include <vector>

#include "decode_call.h"
#include "input/picture_reader.h"

namespace fs = std::filesystem;
using Clock = std::chrono::steady_clock;

namespace {

// A symbol count beyond any sheet in the collection: "every symbol".
using lectavo::kEverySymbol;

struct Point {
    double x = 0, y = 0;
};
using Polygon = std::vector<Point>;

// What one reader returned on one picture: the centre of each result's
// corners, in picture pixels, and for ours its version, level and corners.
struct Found {
    double x = 0, y = 0;
    std::string what;
};
using Centres = std::vector<Found>;

// The outlines of a ground-truth file: eight numbers a line after a line
// "SETS", else one corner "x y" a line, four lines a symbol.
std::vector<Polygon> ReadOutlines(const fs::path& path) {
    std::ifstream in(path);
    std::vector<Polygon> outlines;
    std::vector<double> loose;
    bool sets = false;
    std::string line;
    while (std::getline(in, line)) {
        const size_t start = line.find_first_not_of(" \t\r");
        if (start == std::string::npos || line[start] == '#') continue;
        if (line.compare(start, 4, "SETS") == 0) {
            sets = true;
            continue;
        }
        std::istringstream numbers(line);
        std::vector<double> values;
        for (double v; numbers >> v;) values.push_back(v);
        if (sets) {
            if (values.size() < 8) continue;
            Polygon p;
            for (int k = 0; k < 4; ++k) p.push_back({values[2 * k], values[2 * k + 1]});
            outlines.push_back(p);
        } else {
            loose.insert(loose.end(), values.begin(), values.end());
        }
    }
    for (size_t i = 0; i + 8 <= loose.size(); i += 8) {
        Polygon p;
        for (int k = 0; k < 4; ++k) p.push_back({loose[i + 2 * k], loose[i + 2 * k + 1]});
        outlines.push_back(p);
    }
    return outlines;
}

bool Inside(const Polygon& polygon, Point p) {
    bool inside = false;
    for (size_t i = 0, j = polygon.size() - 1; i < polygon.size(); j = i++) {
        const Point a = polygon[i], b = polygon[j];
        if ((a.y > p.y) != (b.y > p.y) && p.x < (b.x - a.x) * (p.y - a.y) / (b.y - a.y) + a.x) inside = !inside;
    }
    return inside;
}

struct Score {
    int read = 0, faults = 0, strays = 0;
    std::vector<bool> hit;  // per outline
};

Score ScoreCentres(const std::vector<Polygon>& outlines, const Centres& centres, std::string* doubles) {
    Score s;
    s.hit.assign(outlines.size(), false);
    std::vector<size_t> first(outlines.size());
    for (size_t k = 0; k < centres.size(); ++k) {
        const Point c{centres[k].x, centres[k].y};
        bool matched = false;
        for (size_t i = 0; i < outlines.size() && !matched; ++i) {
            if (!Inside(outlines[i], c)) continue;
            matched = true;
            if (s.hit[i]) {
                ++s.faults;
                if (doubles)
                    *doubles += "  outline " + std::to_string(i) + ": " + centres[first[i]].what + " and " +
                                centres[k].what + "\n";
            } else {
                s.hit[i] = true, ++s.read, first[i] = k;
            }
        }
        s.strays += !matched;
    }
    return s;
}

// Our decoder's pure decode call on the picture as the file reader made it,
// with the options given here, so the symbol count may exceed the C
// interface's cap.
Centres Ours(const lectavo::GrayPicture& picture, int symbolCount) {
    lectavo::DecoderOptions options;
    options.symbolCount = symbolCount;
    static lectavo::DecodeWorkspace workspace;
    const lectavo::CallOutcome outcome = lectavo::DecodePictureCall(picture, options, workspace);
    Centres centres;
    for (const lectavo::DecodeResult& r : outcome.results) {
        Point c;
        std::string what = "v" + std::to_string(r.version) + " level " + std::to_string(r.level);
        for (int k = 0; k < 4; ++k) {
            c.x += r.corners[k][0] / 4.0, c.y += r.corners[k][1] / 4.0;
            what += " (" + std::to_string(r.corners[k][0]) + "," + std::to_string(r.corners[k][1]) + ")";
        }
        centres.push_back({c.x / picture.scaleX, c.y / picture.scaleY, what});
    }
    return centres;
}

Centres Zxing(const lectavo::GrayPicture& picture) {
    const auto hints = ZXing::DecodeHints().setFormats(ZXing::BarcodeFormat::QRCode);
    const ZXing::ImageView view(picture.pixels.data(), picture.width, picture.height, ZXing::ImageFormat::Lum);
    Centres centres;
    for (const ZXing::Result& r : ZXing::ReadBarcodes(view, hints)) {
        Point c;
        for (int k = 0; k < 4; ++k) c.x += r.position()[k].x / 4.0, c.y += r.position()[k].y / 4.0;
        centres.push_back({c.x / picture.scaleX, c.y / picture.scaleY, {}});
    }
    return centres;
}

Centres Zbar(const lectavo::GrayPicture& picture) {
    zbar::ImageScanner scanner;
    scanner.set_config(zbar::ZBAR_NONE, zbar::ZBAR_CFG_ENABLE, 0);
    scanner.set_config(zbar::ZBAR_QRCODE, zbar::ZBAR_CFG_ENABLE, 1);
    zbar::Image image(static_cast<unsigned>(picture.width), static_cast<unsigned>(picture.height), "Y800",
                      picture.pixels.data(), picture.pixels.size());
    Centres centres;
    if (scanner.scan(image) <= 0) return centres;
    for (auto s = image.symbol_begin(); s != image.symbol_end(); ++s) {
        const int n = s->get_location_size();
        if (n == 0) continue;
        Point c;
        for (int k = 0; k < n; ++k) c.x += s->get_location_x(k), c.y += s->get_location_y(k);
        centres.push_back({c.x / n / picture.scaleX, c.y / n / picture.scaleY, {}});
    }
    image.set_data(nullptr, 0);
    return centres;
}

struct Column {
    std::string name;
    int count = 0;  // ours only: the symbol count
};

struct Tally {
    int read = 0, faults = 0, strays = 0;
    double ms = 0;
};

struct ConditionRow {
    int photos = 0, symbols = 0;
    std::vector<Tally> columns;
};

std::string CountName(int count) { return count >= kEverySymbol ? "all" : std::to_string(count); }

bool IsPicture(const fs::path& p) {
    std::string e = p.extension().string();
    std::transform(e.begin(), e.end(), e.begin(), ::tolower);
    return e == ".jpg" || e == ".jpeg" || e == ".png" || e == ".bmp" || e == ".gif";
}

int Usage() {
    std::fprintf(stderr,
                 "usage: condition_report [DIR] [-n COUNT|all]... [--only CONDITION] [--no-peers] [--misses] [-v] "
                 "[--expect-all]\n");
    return 2;
}

}  // namespace

int main(int argc, char** argv) {
    fs::path root = fs::path(REPORT_SOURCE_DIR).parent_path() / "shared" / "testdata" / "qr-conditions";
    std::vector<int> counts;
    std::string only;
    bool peers = true, misses = false, verbose = false, expectAll = false;
    for (int i = 1; i < argc; ++i) {
        const std::string a = argv[i];
        if ((a == "-n" || a == "--count") && i + 1 < argc) {
            const std::string v = argv[++i];
            counts.push_back(v == "all" ? kEverySymbol : std::max(1, std::atoi(v.c_str())));
        } else if (a == "--only" && i + 1 < argc) {
            only = argv[++i];
        } else if (a == "--no-peers") {
            peers = false;
        } else if (a == "--misses") {
            misses = true;
        } else if (a == "-v") {
            verbose = true;
        } else if (a == "--expect-all") {
            expectAll = true;
        } else if (!a.empty() && a[0] != '-') {
            root = a;
        } else {
            return Usage();
        }
    }
    if (counts.empty()) counts = {32, kEverySymbol};
    std::vector<Column> columns;
    for (int c : counts) columns.push_back({"ours n=" + CountName(c), c});
    if (peers) columns.push_back({"zxing-cpp", 0}), columns.push_back({"zbar", 0});

    std::vector<fs::path> conditions;
    std::error_code error;
    for (const auto& entry : fs::directory_iterator(root, error))
        if (entry.is_directory() && (only.empty() || entry.path().filename() == only))
            conditions.push_back(entry.path());
    if (error || conditions.empty()) {
        std::fprintf(stderr, "condition_report: no condition folders in %s\n", root.c_str());
        return 1;
    }
    std::sort(conditions.begin(), conditions.end());

    std::map<std::string, ConditionRow> rows;
    for (const fs::path& folder : conditions) {
        ConditionRow& row = rows[folder.filename().string()];
        row.columns.resize(columns.size());
        std::vector<fs::path> pictures;
        for (const auto& entry : fs::directory_iterator(folder))
            if (IsPicture(entry.path())) pictures.push_back(entry.path());
        std::sort(pictures.begin(), pictures.end());
        for (const fs::path& path : pictures) {
            const std::vector<Polygon> outlines = ReadOutlines(fs::path(path).replace_extension(".txt"));
            lectavo::GrayPicture picture;
            if (lectavo::ReadPicture(path.c_str(), nullptr, picture) != 0 || !picture.HasImage()) {
                std::fprintf(stderr, "condition_report: cannot read %s\n", path.c_str());
                continue;
            }
            ++row.photos;
            row.symbols += static_cast<int>(outlines.size());
            std::string line;
            for (size_t c = 0; c < columns.size(); ++c) {
                const auto start = Clock::now();
                const Centres centres = columns[c].name == "zxing-cpp" ? Zxing(picture)
                                        : columns[c].name == "zbar"    ? Zbar(picture)
                                                                       : Ours(picture, columns[c].count);
                const double ms = std::chrono::duration<double, std::milli>(Clock::now() - start).count();
                std::string doubles;
                const Score s = ScoreCentres(outlines, centres, &doubles);
                if (misses && !doubles.empty())
                    std::printf("double %s %s:\n%s", path.c_str(), columns[c].name.c_str(), doubles.c_str());
                Tally& t = row.columns[c];
                t.read += s.read, t.faults += s.faults, t.strays += s.strays, t.ms += ms;
                char cell[96];
                std::snprintf(cell, sizeof cell, "  %s %d/%zu%s %.0f ms", columns[c].name.c_str(), s.read,
                              outlines.size(), s.faults ? (" F" + std::to_string(s.faults)).c_str() : "", ms);
                line += cell;
                // The outlines the last of our columns missed, with each peer's verdict.
                if (misses && c + 1 == counts.size())
                    for (size_t i = 0; i < outlines.size(); ++i)
                        if (!s.hit[i]) {
                            Point m;
                            for (const Point p : outlines[i]) m.x += p.x / 4, m.y += p.y / 4;
                            const double side =
                                std::hypot(outlines[i][1].x - outlines[i][0].x, outlines[i][1].y - outlines[i][0].y);
                            std::printf("miss %s outline %zu centre (%.0f,%.0f) side %.0f px, picture %dx%d\n",
                                        path.c_str(), i, m.x, m.y, side, picture.width, picture.height);
                        }
            }
            if (verbose) std::printf("%s:%s\n", path.c_str(), line.c_str());
            std::fflush(stdout);
        }
    }

    std::printf("%-14s %7s", "condition", "symbols");
    for (const Column& c : columns) std::printf(" | %-24s", c.name.c_str());
    std::printf("\n%-14s %7s", "", "");
    for (size_t c = 0; c < columns.size(); ++c) std::printf(" | %-24s", "read faults   ms/photo");
    std::printf("\n");
    ConditionRow total;
    total.columns.resize(columns.size());
    for (const auto& [name, row] : rows) {
        std::printf("%-14s %7d", name.c_str(), row.symbols);
        total.photos += row.photos, total.symbols += row.symbols;
        for (size_t c = 0; c < columns.size(); ++c) {
            const Tally& t = row.columns[c];
            std::printf(" | %4d %6d %10.0f  ", t.read, t.faults, row.photos ? t.ms / row.photos : 0.0);
            Tally& sum = total.columns[c];
            sum.read += t.read, sum.faults += t.faults, sum.strays += t.strays, sum.ms += t.ms;
        }
        std::printf("\n");
    }
    std::printf("%-14s %7d", "total", total.symbols);
    for (const Tally& t : total.columns)
        std::printf(" | %4d %6d %10.0f  ", t.read, t.faults, total.photos ? t.ms / total.photos : 0.0);
    std::printf("\n%-14s %7s", "read %", "");
    for (const Tally& t : total.columns)
        std::printf(" | %5.1f %%, %3d outside   ", total.symbols ? 100.0 * t.read / total.symbols : 0.0, t.strays);
    std::printf("\n(%d photos; faults: a second result on an outline already read; outside: results on no outline)\n",
                total.photos);
    if (expectAll)
        for (size_t c = 0; c < counts.size(); ++c) {
            const Tally& t = total.columns[c];
            if (t.read != total.symbols || t.faults != 0 || t.strays != 0) {
                std::fprintf(stderr, "condition_report: %s read %d of %d symbols, %d faults, %d outside\n",
                             columns[c].name.c_str(), t.read, total.symbols, t.faults, t.strays);
                return 1;
            }
        }
    return 0;
}
