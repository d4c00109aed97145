// Decodes picture files through the decoder library's exports, several files
// at once on worker threads (the library keeps results per thread), and
// prints the outcome of each file in input order.
#include "decode_command.h"

#include <algorithm>
#include <atomic>
#include <cstdio>
#include <exception>
#include <new>
#include <string>
#include <thread>
#include <vector>

#include "arguments.h"
#include "job_budget.h"
#include "lectavo.h"
#include "text_format.h"
#include "usage.h"

namespace qrtool {
namespace {

struct DecodeOptions {
    bool useRect = false;
    int rect[4] = {0, 0, 0, 0};
    int count = 0;
    int effect = 3;
    int border = 0;
    int minModule = 1;
    bool json = false;
    int jobs = 0;
    std::vector<std::string> files;
};

struct Symbol {
    std::string data;
    int version = 0, level = 0, mask = 0;
    LectavoPoint corners[4] = {};
    int sequenceTotal = 0, sequencePosition = 0;
    unsigned char parity = 0;
};

struct FileOutcome {
    int code = 0;
    std::vector<Symbol> symbols;
};

DecodeOptions Parse(int argc, char** argv) {
    DecodeOptions o;
    Arguments args(argc, argv, 2);
    while (auto arg = args.Next()) {
        std::string name, value;
        SplitOption(*arg, name, value);
        if (name == "--rect") {
            ParseRectangle(name, args.Value(name, value), o.rect);
            o.useRect = true;
        } else if (name == "--count")
            o.count = ParseInt(name, args.Value(name, value), 0, 32);
        else if (name == "--effect")
            o.effect = ParseInt(name, args.Value(name, value), 0, 3);
        else if (name == "--border")
            o.border = ParseInt(name, args.Value(name, value), 1, 255);
        else if (name == "--min-module")
            o.minModule = ParseInt(name, args.Value(name, value), 1, 255);
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

// Decodes one file on the calling thread and copies its results out before
// the thread's next decode replaces them.
FileOutcome DecodeOne(const DecodeOptions& o, const std::string& path) {
    FileOutcome out;
    out.code = o.useRect ? DecodePictureFileRect(path.c_str(), o.rect[0], o.rect[1], o.rect[2], o.rect[3])
                         : DecodePictureFile(path.c_str());
    for (int i = 0; i < out.code; ++i) {
        Symbol s;
        unsigned char* data = nullptr;
        const int length = GetDecodeData(i, &data);
        if (length > 0 && data) s.data.assign(reinterpret_cast<const char*>(data), static_cast<size_t>(length));
        s.version = GetDecodeVersion(i);
        s.level = GetDecodeLevel(i);
        s.mask = GetDecodeMaskingNo(i);
        int32_t position = 0;
        s.sequenceTotal = GetConcatenationInfo(i, &position, &s.parity);
        s.sequencePosition = position;
        GetSymbolePosition(i, s.corners);
        out.symbols.push_back(std::move(s));
    }
    if (out.code > 0) FreeAllocateMemory();
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

char LevelLetter(int level) { return level >= 0 && level <= 3 ? "LMQH"[level] : '?'; }

void PrintText(const std::string& path, const FileOutcome& f) {
    const std::string name = EscapeForTerminal(path);
    if (f.code <= 0) {
        std::printf("%s: %s\n", name.c_str(), MessageFor(f.code));
        return;
    }
    std::printf("%s: %d symbol%s\n", name.c_str(), f.code, f.code == 1 ? "" : "s");
    for (size_t i = 0; i < f.symbols.size(); ++i) {
        const Symbol& s = f.symbols[i];
        std::printf("  [%zu] version %d, level %c, mask %d, corners (%d,%d) (%d,%d) (%d,%d) (%d,%d)\n", i, s.version,
                    LevelLetter(s.level), s.mask, s.corners[0].x, s.corners[0].y, s.corners[1].x, s.corners[1].y,
                    s.corners[2].x, s.corners[2].y, s.corners[3].x, s.corners[3].y);
        if (s.sequenceTotal > 0)
            std::printf("      structured append: symbol %d of %d, parity 0x%02X\n", s.sequencePosition + 1,
                        s.sequenceTotal, s.parity);
        std::printf("      %s: %s\n", IsValidUtf8(s.data) ? "text" : "bytes", EscapeForTerminal(s.data).c_str());
    }
}

void PrintJson(const std::string& path, const FileOutcome& f) {
    const std::string file = IsValidUtf8(path) ? JsonString(path) : JsonString(EscapeForTerminal(path));
    std::string line = "{\"file\":" + file + ",\"status\":" + std::to_string(f.code) +
                       ",\"message\":" + JsonString(f.code > 0 ? "ok" : MessageFor(f.code)) + ",\"symbols\":[";
    for (size_t i = 0; i < f.symbols.size(); ++i) {
        const Symbol& s = f.symbols[i];
        if (i) line += ',';
        line += "{\"text\":" + (IsValidUtf8(s.data) ? JsonString(s.data) : std::string("null"));
        line += ",\"hex\":\"" + Hex(s.data) + "\"";
        line += ",\"version\":" + std::to_string(s.version);
        line += ",\"level\":\"" + std::string(1, LevelLetter(s.level)) + "\"";
        line += ",\"mask\":" + std::to_string(s.mask);
        line += ",\"corners\":[";
        for (int k = 0; k < 4; ++k) {
            if (k) line += ',';
            line += "[" + std::to_string(s.corners[k].x) + "," + std::to_string(s.corners[k].y) + "]";
        }
        line += "]";
        if (s.sequenceTotal > 0)
            line += ",\"sequence\":{\"position\":" + std::to_string(s.sequencePosition) +
                    ",\"total\":" + std::to_string(s.sequenceTotal) + ",\"parity\":" + std::to_string(s.parity) + "}";
        line += "}";
    }
    line += "]}\n";
    std::fwrite(line.data(), 1, line.size(), stdout);
}

}  // namespace

int RunDecode(int argc, char** argv) {
    DecodeOptions o;
    if (const int exit = ParseOrExit("decode", o, [&] { return Parse(argc, argv); }); exit >= 0) return exit;
    SetDecodeSymbolCount(o.count);
    SetDecodeEffectLevel(o.effect);
    SetBrightnessBorder(o.border);
    SetMinimumModuleSize(o.minModule);

    const size_t n = o.files.size();
    std::vector<FileOutcome> outcomes(n);
    unsigned jobs = o.jobs > 0 ? static_cast<unsigned>(o.jobs) : std::max(1u, std::thread::hardware_concurrency());
    jobs = JobsWithinMemory(jobs, MemoryBudgetBytes());
    jobs = static_cast<unsigned>(std::min<size_t>(jobs, n));
    std::atomic<size_t> next{0};
    auto worker = [&] {
        for (size_t i; (i = next.fetch_add(1)) < n;) {
            // Running out of memory fails this file alone.
            try {
                outcomes[i] = DecodeOne(o, o.files[i]);
            } catch (const std::bad_alloc&) {
                FreeAllocateMemory();
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
