// Writes one symbol through the encoder library's exports: a BMP or WMF file,
// the clipboard, or the module grid printed with block characters.
#include "encode_command.h"

#include <cstdio>
#include <iostream>
#include <iterator>
#include <string>
#include <vector>

#include "arguments.h"
#include "codepage/code_page.h"
#include "mosaire.h"
#include "terminal_text.h"
#include "usage.h"

namespace qrtool {
namespace {

struct EncodeOptions {
    std::string output;  // "", "-", or a path ending in .bmp / .wmf
    bool clipboard = false;
    bool gbk = false;
    int level = 0;
    int version = 0;
    int mask = 0;
    double moduleCm = 0.07;
    int orientation = 1;
    int frame = 0;
    int width = 500, height = 500;
    int bar[3] = {0, 0, 0};
    int back[3] = {255, 255, 255};
    std::string text;
    bool haveText = false;
};

int LevelFromText(const std::string& option, const std::string& text) {
    static const char* names = "LMQH";
    if (text.size() == 1)
        for (int i = 0; i < 4; ++i)
            if (text[0] == names[i] || text[0] == names[i] + 32) return i;
    throw UsageError{"option " + option + " expects L, M, Q or H, not '" + text + "'"};
}

std::string LowerExtension(const std::string& path) {
    const size_t dot = path.rfind('.');
    const size_t slash = path.rfind('/');
    if (dot == std::string::npos || (slash != std::string::npos && dot < slash)) return "";
    std::string ext = path.substr(dot);
    for (char& c : ext) c = static_cast<char>(c >= 'A' && c <= 'Z' ? c + 32 : c);
    return ext;
}

EncodeOptions Parse(int argc, char** argv) {
    EncodeOptions o;
    Arguments args(argc, argv, 2);
    while (auto arg = args.Next()) {
        std::string name, value;
        SplitOption(*arg, name, value);
        if (name == "-o" || name == "--output")
            o.output = args.Value(name, value);
        else if (name == "--clipboard")
            o.clipboard = true;
        else if (name == "--gbk")
            o.gbk = true;
        else if (name == "-l" || name == "--level")
            o.level = LevelFromText(name, args.Value(name, value));
        else if (name == "-v" || name == "--version")
            o.version = ParseInt(name, args.Value(name, value), 0, 40);
        else if (name == "-m" || name == "--mask")
            o.mask = ParseInt(name, args.Value(name, value), 0, 8);
        else if (name == "--module-cm")
            o.moduleCm = ParseDouble(name, args.Value(name, value), 0.001, 100.0);
        else if (name == "--orientation")
            o.orientation = ParseInt(name, args.Value(name, value), 0, 3);
        else if (name == "--frame")
            o.frame = ParseInt(name, args.Value(name, value), 0, 2);
        else if (name == "--size") {
            const std::string v = args.Value(name, value);
            const size_t x = v.find('x');
            if (x == std::string::npos) throw UsageError{"option --size expects WIDTHxHEIGHT, not '" + v + "'"};
            o.width = ParseInt(name, v.substr(0, x), 1, 32767);
            o.height = ParseInt(name, v.substr(x + 1), 1, 32767);
        } else if (name == "--fg")
            ParseColour(name, args.Value(name, value), o.bar);
        else if (name == "--bg")
            ParseColour(name, args.Value(name, value), o.back);
        else if (name == "-h" || name == "--help")
            throw HelpRequested{};
        else if (name.size() > 1 && name[0] == '-')
            throw UsageError{"unknown option " + name};
        else if (o.haveText)
            throw UsageError{"more than one text given"};
        else {
            o.text = *arg;
            o.haveText = true;
        }
    }
    if (!o.haveText) throw UsageError{"no text given (use - to read it from standard input)"};
    if (o.output.empty() && !o.clipboard) o.output = "-";
    if (!o.output.empty() && o.output != "-") {
        const std::string ext = LowerExtension(o.output);
        if (ext != ".bmp" && ext != ".wmf")
            throw UsageError{"output must end in .bmp or .wmf, or be - for the terminal"};
    }
    return o;
}

// Terminal UTF-8 to code page 936, as the window programs pass their text.
std::string ToGbk(const std::string& utf8) {
    const int units = platform::MultiByteToWideChar(platform::kCodePageUtf8, 0, utf8.data(),
                                                    static_cast<int>(utf8.size()), nullptr, 0);
    if (units <= 0) return std::string();
    std::u16string wide(static_cast<size_t>(units), u'\0');
    platform::MultiByteToWideChar(platform::kCodePageUtf8, 0, utf8.data(), static_cast<int>(utf8.size()), wide.data(),
                                  units);
    const int bytes =
        platform::WideCharToMultiByte(platform::kCodePageGbk, 0, wide.data(), units, nullptr, 0, "?", nullptr);
    std::string out(static_cast<size_t>(bytes > 0 ? bytes : 0), '\0');
    if (bytes > 0)
        platform::WideCharToMultiByte(platform::kCodePageGbk, 0, wide.data(), units, out.data(), bytes, "?", nullptr);
    return out;
}

// Prints the upright symbol with a two-module quiet zone, two module rows per
// text line, using the upper/lower half block characters.
bool PrintGrid() {
    uint32_t size = 0;
    int16_t rows = 0, cols = 0;
    QRGetPatternData(nullptr, &size, &rows, &cols);
    if (size == 0) return false;  // the message cannot be encoded
    const int n = rows;
    std::vector<unsigned char> pattern(size);
    uint32_t capacity = size;
    if (QRGetPatternData(pattern.data(), &capacity, &rows, &cols) == 0) return false;
    // The pattern runs over matrix column k from the bottom row up.
    auto dark = [&](int r, int k) {
        if (r < 0 || k < 0 || r >= n || k >= n) return false;
        return pattern[static_cast<size_t>(k) * n + (n - 1 - r)] == '1';
    };
    const int quiet = 2;
    std::string out;
    for (int r = -quiet; r < n + quiet; r += 2) {
        for (int k = -quiet; k < n + quiet; ++k) {
            const bool top = dark(r, k), bottom = dark(r + 1, k);
            // Light background, dark modules drawn as blocks.
            out += top ? (bottom ? "\u2588" : "\u2580") : (bottom ? "\u2584" : " ");
        }
        out += '\n';
    }
    std::fwrite(out.data(), 1, out.size(), stdout);
    return true;
}

}  // namespace

int RunEncode(int argc, char** argv) {
    EncodeOptions o;
    if (const int exit = ParseOrExit("encode", o, [&] { return Parse(argc, argv); }); exit >= 0) return exit;
    std::string text = o.text;
    if (text == "-") text.assign(std::istreambuf_iterator<char>(std::cin), std::istreambuf_iterator<char>());
    if (o.gbk) text = ToGbk(text);
    if (text.find('\0') != std::string::npos) {
        std::fprintf(stderr, "qrtool encode: the text holds a zero byte, which the encoder cannot carry\n");
        return 2;
    }

    QRSetMessage(text.c_str());
    QRSetBackColor(o.back[0], o.back[1], o.back[2]);
    QRSetBarColor(o.bar[0], o.bar[1], o.bar[2]);
    QRConfigure(o.version, o.level, o.mask);
    QRAppearance(o.moduleCm, o.orientation, o.frame);
    QRSetSize(o.width, o.height);

    int16_t rows = 0, cols = 0;
    QRGetActualRC(&rows, &cols);
    if (rows == 0) {
        std::fprintf(stderr, "qrtool encode: the text is too long for any symbol at level %c\n", "LMQH"[o.level]);
        return 1;
    }
    int status = 0;
    if (o.output == "-") {
        if (!PrintGrid()) status = 1;
    } else if (!o.output.empty()) {
        const bool wmf = LowerExtension(o.output) == ".wmf";
        const int16_t ok = wmf ? QRSaveAsWMF(o.output.c_str()) : QRSaveAsBMP(o.output.c_str());
        if (ok == 0) {
            std::fprintf(stderr, "qrtool encode: cannot write %s\n", EscapeForTerminal(o.output).c_str());
            status = 1;
        }
    }
    if (o.clipboard && QRCopyToClipboard() == 0) {
        std::fprintf(stderr, "qrtool encode: cannot open the clipboard (no display, or neither wl-copy nor xclip)\n");
        status = 1;
    }
    return status;
}

}  // namespace qrtool
