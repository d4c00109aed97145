#include "recorder.h"

#include <cstdint>

#include "../corpus_hash.h"
#include "lectavo.h"

namespace corpus {

namespace {

// Data up to 32 bytes in hexadecimal, longer data as length and hash.
std::string DataField(int index) {
    unsigned char* data = nullptr;
    const int length = GetDecodeData(index, &data);
    if (length < 0 || data == nullptr) return "data=none(" + std::to_string(length) + ")";
    if (length <= 32) {
        std::string hex;
        char pair[3];
        for (int i = 0; i < length; ++i) {
            std::snprintf(pair, sizeof pair, "%02x", data[i]);
            hex += pair;
        }
        return "data=" + hex;
    }
    return "len=" + std::to_string(length) + " fnv=" + Hex64(Fnv1a64(data, static_cast<size_t>(length)));
}

std::string SymbolFields(int index) {
    std::string s = DataField(index);
    s += " v=" + std::to_string(GetDecodeVersion(index));
    s += " l=" + std::to_string(GetDecodeLevel(index));
    s += " m=" + std::to_string(GetDecodeMaskingNo(index));
    LectavoPoint corners[4] = {};
    const int position = GetSymbolePosition(index, corners);
    s += " pos=" + std::to_string(position) + ":";
    for (const LectavoPoint& p : corners) s += " " + std::to_string(p.x) + "," + std::to_string(p.y);
    int32_t part = -1;
    unsigned char parity = 0;
    const int total = GetConcatenationInfo(index, &part, &parity);
    s += " sa=" + std::to_string(total) + "/" + std::to_string(part) + "/" + std::to_string(parity);
    return s;
}

}  // namespace

void Recorder::Record(const std::string& name, const std::string& call, int code) {
    ++pictures_;
    std::string line = name + " | " + call + " | rc=" + std::to_string(code);
    for (int i = 0; i < code; ++i) line += " | #" + std::to_string(i) + " " + SymbolFields(i);
    std::fprintf(out_, "%s\n", line.c_str());
}

void Recorder::Note(const std::string& text) { std::fprintf(out_, "# %s\n", text.c_str()); }

}  // namespace corpus
