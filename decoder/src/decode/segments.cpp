#include "decode/segments.h"

#include <cstring>

#include "common/symbol_layout.h"

namespace lectavo {
namespace {

using qrcommon::kAlphanumericCount;
using qrcommon::kAlphanumericSet;

constexpr int kStructuredAppendBits = 20;

enum Mode {
    kTerminator = 0,
    kNumeric = 1,
    kAlpha = 2,
    kByte = 4,
    kFnc1First = 5,
    kEci = 7,
    kKanji = 8,
    kFnc1Second = 9,
};

constexpr uint8_t kGroupSeparator = 0x1D;

int CountWidth(int mode, int version) { return qrcommon::CountFieldWidth(static_cast<qrcommon::Mode>(mode), version); }

// Bits a segment of `count` characters occupies after its count field.
long SegmentBits(int mode, long count) {
    switch (mode) {
        case kNumeric: {
            static constexpr int kTail[3] = {0, 4, 7};
            return 10 * (count / 3) + kTail[count % 3];
        }
        case kAlpha:
            return 11 * (count / 2) + 6 * (count % 2);
        case kByte:
            return 8 * count;
        default:
            return 13 * count;
    }
}

// The output bytes, bounded by the largest possible result. Put fails when
// the buffer is full, PutAlpha also for a value without a table character.
class Output {
public:
    explicit Output(uint8_t* buffer) : buffer_(buffer) {}
    bool Put(uint32_t byte) {
        if (size_ >= kMaxDataBytes) return false;
        buffer_[size_++] = static_cast<uint8_t>(byte);
        return true;
    }
    bool PutAlpha(uint32_t value) {
        return value < kAlphanumericCount && Put(static_cast<uint8_t>(kAlphanumericSet[value]));
    }
    // In FNC1 data an alphanumeric "%" stands for the group separator and
    // "%%" for a percent sign; rewrites the bytes from `from` on.
    void TranslatePercents(int from) {
        int to = from;
        for (int i = from; i < size_; ++i) {
            if (buffer_[i] != '%') {
                buffer_[to++] = buffer_[i];
            } else if (i + 1 < size_ && buffer_[i + 1] == '%') {
                buffer_[to++] = '%';
                ++i;
            } else {
                buffer_[to++] = kGroupSeparator;
            }
        }
        size_ = to;
    }
    int Size() const { return size_; }
    const uint8_t* Data() const { return buffer_; }

private:
    uint8_t* buffer_;
    int size_ = 0;
};

// A group of three, two or one digits must hold a value below 1000, 100 or
// 10; a larger value has no digits and fails the segment.
bool DecodeNumeric(const uint8_t* data, int p, long count, Output& out) {
    for (; count >= 3; count -= 3, p += 10) {
        const uint32_t v = ReadBits(p, 10, data);
        if (v > 999) return false;
        if (!out.Put(0x30 + v / 100) || !out.Put(0x30 + (v % 100) / 10) || !out.Put(0x30 + v % 10)) return false;
    }
    if (count == 2) {
        const uint32_t v = ReadBits(p, 7, data);
        return v <= 99 && out.Put(0x30 + v / 10) && out.Put(0x30 + v % 10);
    }
    if (count == 1) {
        const uint32_t v = ReadBits(p, 4, data);
        return v <= 9 && out.Put(0x30 + v);
    }
    return true;
}

bool DecodeAlphanumeric(const uint8_t* data, int p, long count, Output& out) {
    for (; count >= 2; count -= 2, p += 11) {
        const uint32_t v = ReadBits(p, 11, data);
        if (v >= kAlphanumericCount * kAlphanumericCount) return false;
        if (!out.PutAlpha(v / kAlphanumericCount) || !out.PutAlpha(v % kAlphanumericCount)) return false;
    }
    if (count == 1) return out.PutAlpha(ReadBits(p, 6, data));
    return true;
}

bool DecodeBytes(const uint8_t* data, int p, long count, Output& out) {
    for (long i = 0; i < count; ++i, p += 8)
        if (!out.Put(ReadBits(p, 8, data))) return false;
    return true;
}

bool DecodeKanji(const uint8_t* data, int p, long count, Output& out) {
    for (long i = 0; i < count; ++i, p += 13) {
        const uint32_t v = ReadBits(p, 13, data);
        uint32_t w = (v / 0xC0) * 0x100 + v % 0xC0;
        w += w < 0x1F00 ? 0x8140 : 0xC140;
        if (!out.Put(w >> 8) || !out.Put(w & 0xFF)) return false;
    }
    return true;
}

enum class Step { kContinue, kEnd, kFail };

// An ECI designator is 8, 16 or 24 bits long, told by its leading 0, 10 or
// 110; it is skipped, so the data bytes come back as they stand. The first
// designator's value is kept in `eci`.
Step SkipEciDesignator(const uint8_t* data, long& p, long total, int32_t& eci) {
    if (p + 8 > total) return Step::kEnd;
    const uint32_t lead = ReadBits(static_cast<int>(p), 8, data);
    const int bits = (lead & 0x80) == 0 ? 8 : ((lead & 0xC0) == 0x80 ? 16 : ((lead & 0xE0) == 0xC0 ? 24 : 0));
    if (bits == 0) return Step::kFail;
    if (p + bits > total) return Step::kEnd;
    const uint32_t valueMask = bits == 8 ? 0x7Fu : bits == 16 ? 0x3FFFu : 0x1FFFFFu;
    if (eci < 0) eci = static_cast<int32_t>(ReadBits(static_cast<int>(p), bits, data) & valueMask);
    p += bits;
    return Step::kContinue;
}

// FNC1 in second position is followed by an 8-bit application indicator,
// passed on at the front of the data: 0-99 as two digits, a letter as its
// character code plus 100.
Step PutApplicationIndicator(const uint8_t* data, long& p, long total, Output& out) {
    if (p + 8 > total) return Step::kEnd;
    const uint32_t indicator = ReadBits(static_cast<int>(p), 8, data);
    p += 8;
    bool ok;
    if (indicator < 100) {
        ok = out.Put('0' + indicator / 10) && out.Put('0' + indicator % 10);
    } else {
        const uint32_t letter = indicator - 100;
        ok = ((letter >= 'A' && letter <= 'Z') || (letter >= 'a' && letter <= 'z')) && out.Put(letter);
    }
    return ok ? Step::kContinue : Step::kFail;
}

}  // namespace

uint32_t ReadBits(int position, int count, const uint8_t* data) {
    if (count < 1 || position < 0 || data == nullptr) return 0;
    if (count > 32) count = 32;
    uint32_t value = 0;
    for (int i = 0; i < count; ++i) {
        const int p = position + i;
        value = (value << 1) | ((data[p >> 3] >> (7 - (p & 7))) & 1u);
    }
    return value;
}

bool DecodeSegments(const uint8_t* codewords, int length, int version, bool withHeader, bool readEciAndFnc1,
                    DecodedData& result) {
    if (codewords == nullptr || length < 1 || length > kMaxCodewords) return false;
    uint8_t buffer[kMaxDataBytes];
    Output out(buffer);
    const long total = 8L * length;
    long p = withHeader ? kStructuredAppendBits : 0;
    bool fnc1 = false;  // FNC1 seen: "%" in alphanumeric segments means GS
    int32_t eci = -1;
    bool gs1 = false;
    while (p < total - 4) {
        const int mode = static_cast<int>(ReadBits(static_cast<int>(p), 4, codewords));
        p += 4;
        if (mode == kTerminator) break;
        if (readEciAndFnc1 && (mode == kEci || mode == kFnc1First || mode == kFnc1Second)) {
            Step step = Step::kContinue;
            if (mode == kEci) {
                step = SkipEciDesignator(codewords, p, total, eci);
            } else {
                fnc1 = true;
                gs1 = gs1 || mode == kFnc1First;
                if (mode == kFnc1Second) step = PutApplicationIndicator(codewords, p, total, out);
            }
            if (step == Step::kFail) return false;
            if (step == Step::kEnd) break;
            continue;
        }
        if (mode != kNumeric && mode != kAlpha && mode != kByte && mode != kKanji) return false;
        const int width = CountWidth(mode, version);
        if (p + width > total) break;  // the count field itself runs past the data
        const long count = ReadBits(static_cast<int>(p), width, codewords);
        p += width;
        const long bits = SegmentBits(mode, count);
        if (p + bits > total) break;  // segment dropped, earlier ones kept
        const int at = static_cast<int>(p);
        bool ok = false;
        switch (mode) {
            case kNumeric:
                ok = DecodeNumeric(codewords, at, count, out);
                break;
            case kAlpha: {
                const int start = out.Size();
                ok = DecodeAlphanumeric(codewords, at, count, out);
                if (ok && fnc1) out.TranslatePercents(start);
                break;
            }
            case kByte:
                ok = DecodeBytes(codewords, at, count, out);
                break;
            default:
                ok = DecodeKanji(codewords, at, count, out);
                break;
        }
        if (!ok) return false;
        p += bits;
    }
    if (out.Size() == 0) return false;
    std::memcpy(result.bytes, out.Data(), static_cast<size_t>(out.Size()));
    result.bytes[out.Size()] = 0;
    result.length = out.Size();
    result.eci = eci;
    result.gs1 = gs1;
    return true;
}

}  // namespace lectavo
