// Decodes picture files through the decoder library's C++ interface, several
// files at once on worker threads (each with its own workspace), and prints
// the outcome of each file in input order.
#include "decode_command.h"

#include <algorithm>
#include <atomic>
#include <cstdio>
#include <exception>
#include <memory>
#include <new>
#include <string>
#include <thread>
#include <vector>

#include "arguments.h"
#include "job_budget.h"
#include "lectavo/decoder.hpp"
#include "text_format.h"
#include "usage.h"

namespace qrtool {
namespace {

struct DecodeOptions {
    lectavo::DecodeOptions library;
    bool json = false;
    int jobs = 0;
    std::vector<std::string> files;
};

// The number of symbols, 0 for none, or the C interface's negative code.
struct FileOutcome {
    int code = 0;
    std::vector<lectavo::Symbol> symbols;
};

// "all" or a count; 0 is taken as 1, the first symbol found.
int ParseCount(const std::string& name, const std::string& value) {
    if (value == "all") return 0;
    return std::max(1, ParseInt(name, value, 0, 1 << 20));
}

DecodeOptions Parse(int argc, char** argv) {
    DecodeOptions o;
    Arguments args(argc, argv, 2);
    while (auto arg = args.Next()) {
        std::string name, value;
        SplitOption(*arg, name, value);
        if (name == "--rect") {
            int rect[4] = {0, 0, 0, 0};
            ParseRectangle(name, args.Value(name, value), rect);
            o.library.rect = lectavo::Rect{std::min(rect[0], rect[2]), std::min(rect[1], rect[3]),
                                           std::max(rect[0], rect[2]), std::max(rect[1], rect[3])};
        } else if (name == "--count")
            o.library.maxSymbols = ParseCount(name, args.Value(name, value));
        else if (name == "--effect")
            o.library.effort = ParseInt(name, args.Value(name, value), 0, 3);
        else if (name == "--no-photo")
            o.library.photoStage = false;
        else if (name == "--border")
            o.library.threshold = ParseInt(name, args.Value(name, value), 1, 255);
        else if (name == "--min-module")
            o.library.minModuleSize = ParseInt(name, args.Value(name, value), 1, 255);
        else if (name == "--json")
            o.json = true;
        else if (name == "-j" || name == "--jobs")
            o.jobs = ParseInt(name, args.Value(name, value), 1, 256);
        else if (name == "-h" || name == "--help")
            throw HelpRequested{};
        else if (name == "--") {
            while (auto rest = args.Next()) o.files.push_back(*rest);
        } else if (name.size() > 1 && name[0] == '-')
            throw UsageError{"unknown option " + name};
        else
            o.files.push_back(*arg);
    }
    if (o.files.empty()) throw UsageError{"no picture file given"};
    return o;
}

int CodeOf(lectavo::ErrorCode error) {
    switch (error) {
        case lectavo::ErrorCode::kFileNotFound:
            return -1;
        case lectavo::ErrorCode::kAccessDenied:
            return -4;
        case lectavo::ErrorCode::kOutOfMemory:
            return -5;
        default:
            return -3;
    }
}

// Decodes one file on the calling thread; an error, running out of memory
// included, is this file's outcome only.
FileOutcome DecodeOne(const DecodeOptions& o, const std::string& path, lectavo::Workspace& workspace) {
    FileOutcome out;
    try {
        out.symbols = lectavo::DecodeFile(path, o.library, workspace);
        out.code = static_cast<int>(out.symbols.size());
    } catch (const lectavo::DecodeError& e) {
        out.code = CodeOf(e.code());
    } catch (const std::bad_alloc&) {
        out.code = -5;
    }
    return out;
}

const char* MessageFor(int code) {
    switch (code) {
        case 0:
            return "no QR Code symbol found";
        case -1:
            return "file not found";
        case -2:
            return "error while reading the file";
        case -3:
            return "file format cannot be read";
        case -4:
            return "file cannot be read (no permission or locked)";
        case -5:
            return "out of memory";
        default:
            return "unknown error";
    }
}

char LevelLetter(lectavo::Level level) { return "LMQH"[static_cast<int>(level) & 3]; }

std::string DataOf(const lectavo::Symbol& s) { return std::string(s.bytes.begin(), s.bytes.end()); }

// A coordinate with at most two decimals, without trailing zeros.
std::string Coordinate(float v) {
    char text[32];
    std::snprintf(text, sizeof text, "%.2f", static_cast<double>(v));
    std::string out = text;
    while (!out.empty() && out.back() == '0') out.pop_back();
    if (!out.empty() && out.back() == '.') out.pop_back();
    return out == "-0" ? "0" : out;
}

void PrintText(const std::string& path, const FileOutcome& f) {
    const std::string name = EscapeForTerminal(path);
    if (f.code <= 0) {
        std::printf("%s: %s\n", name.c_str(), MessageFor(f.code));
        return;
    }
    std::printf("%s: %d symbol%s\n", name.c_str(), f.code, f.code == 1 ? "" : "s");
    for (size_t i = 0; i < f.symbols.size(); ++i) {
        const lectavo::Symbol& s = f.symbols[i];
        std::string corners;
        for (const lectavo::PointF& c : s.corners) corners += " (" + Coordinate(c.x) + "," + Coordinate(c.y) + ")";
        std::printf("  [%zu] version %d, level %c, mask %d, corners%s\n", i, s.version, LevelLetter(s.level), s.mask,
                    corners.c_str());
        const lectavo::StructuredAppend& sa = s.structuredAppend;
        if (sa.total > 0)
            std::printf("      structured append: symbol %d of %d, parity 0x%02X\n", sa.position + 1, sa.total,
                        sa.parity);
        if (s.eci >= 0) std::printf("      ECI %d\n", s.eci);
        if (s.gs1 || s.mirrored || s.inverted)
            std::printf("     %s%s%s\n", s.gs1 ? " GS1" : "", s.mirrored ? " mirrored" : "",
                        s.inverted ? " inverted" : "");
        const std::string shown = s.text ? *s.text : DataOf(s);
        std::printf("      %s: %s\n", s.text ? "text" : "bytes", EscapeForTerminal(shown).c_str());
    }
}

void PrintJson(const std::string& path, const FileOutcome& f) {
    const std::string file = IsValidUtf8(path) ? JsonString(path) : JsonString(EscapeForTerminal(path));
    std::string line = "{\"file\":" + file + ",\"status\":" + std::to_string(f.code) +
                       ",\"message\":" + JsonString(f.code > 0 ? "ok" : MessageFor(f.code)) + ",\"symbols\":[";
    for (size_t i = 0; i < f.symbols.size(); ++i) {
        const lectavo::Symbol& s = f.symbols[i];
        if (i) line += ',';
        line += "{\"text\":" + (s.text ? JsonString(*s.text) : std::string("null"));
        line += ",\"hex\":\"" + Hex(DataOf(s)) + "\"";
        line += ",\"version\":" + std::to_string(s.version);
        line += ",\"level\":\"" + std::string(1, LevelLetter(s.level)) + "\"";
        line += ",\"mask\":" + std::to_string(s.mask);
        line += ",\"corners\":[";
        for (int k = 0; k < 4; ++k) {
            if (k) line += ',';
            line += "[" + Coordinate(s.corners[k].x) + "," + Coordinate(s.corners[k].y) + "]";
        }
        line += "]";
        const lectavo::StructuredAppend& sa = s.structuredAppend;
        if (sa.total > 0)
            line += ",\"sequence\":{\"position\":" + std::to_string(sa.position) +
                    ",\"total\":" + std::to_string(sa.total) + ",\"parity\":" + std::to_string(sa.parity) + "}";
        line += ",\"eci\":" + (s.eci >= 0 ? std::to_string(s.eci) : std::string("null"));
        line += std::string(",\"gs1\":") + (s.gs1 ? "true" : "false");
        line += std::string(",\"mirrored\":") + (s.mirrored ? "true" : "false");
        line += std::string(",\"inverted\":") + (s.inverted ? "true" : "false");
        line += std::string(",\"search\":") + (s.foundBy == lectavo::Search::kPhotoStage ? "\"photo\"" : "\"binary\"");
        line += "}";
    }
    line += "]}\n";
    std::fwrite(line.data(), 1, line.size(), stdout);
}

}  // namespace

int RunDecode(int argc, char** argv) {
    DecodeOptions o;
    if (const int exit = ParseOrExit("decode", o, [&] { return Parse(argc, argv); }); exit >= 0) return exit;

    const size_t n = o.files.size();
    std::vector<FileOutcome> outcomes(n);
    unsigned jobs = o.jobs > 0 ? static_cast<unsigned>(o.jobs) : std::max(1u, std::thread::hardware_concurrency());
    jobs = JobsWithinMemory(jobs, MemoryBudgetBytes());
    jobs = static_cast<unsigned>(std::min<size_t>(jobs, n));
    std::atomic<size_t> next{0};
    auto worker = [&] {
        std::unique_ptr<lectavo::Workspace> workspace;
        for (size_t i; (i = next.fetch_add(1)) < n;) {
            // Running out of memory fails this file alone.
            try {
                if (!workspace) workspace = std::make_unique<lectavo::Workspace>();
                outcomes[i] = DecodeOne(o, o.files[i], *workspace);
            } catch (const std::bad_alloc&) {
                outcomes[i] = FileOutcome{};
                outcomes[i].code = -5;
            }
        }
    };
    std::vector<std::thread> threads;
    try {
        for (unsigned t = 1; t < jobs; ++t) threads.emplace_back(worker);
    } catch (const std::exception&) {
        // No more threads: the ones running share the files.
    }
    worker();
    for (auto& t : threads) t.join();

    int status = 0;
    for (size_t i = 0; i < n && !std::ferror(stdout); ++i) {
        if (o.json)
            PrintJson(o.files[i], outcomes[i]);
        else
            PrintText(o.files[i], outcomes[i]);
        if (outcomes[i].code < 0)
            status = 2;
        else if (outcomes[i].code == 0 && status == 0)
            status = 1;
    }
    return status;
}

}  // namespace qrtool
