#include "bit_stream.h"

#include <array>

#include "common/qr_tables.h"
#include "common/symbol_layout.h"

namespace mosaire {

namespace {

constexpr std::array<int8_t, 256> MakeAlphanumericTable() {
    std::array<int8_t, 256> t{};
    for (auto& v : t) v = -1;
    for (int i = 0; i < qrcommon::kAlphanumericCount; ++i)
        t[static_cast<uint8_t>(qrcommon::kAlphanumericSet[i])] = static_cast<int8_t>(i);
    return t;
}

constexpr std::array<int8_t, 256> kAlphanumeric = MakeAlphanumericTable();

// Appends values most significant bit first into whole bytes.
class BitWriter {
public:
    explicit BitWriter(uint8_t* out) : out_(out) {}

    void Put(uint32_t value, int bits) {
        acc_ = (acc_ << bits) | (value & ((1u << bits) - 1));
        pending_ += bits;
        total_ += bits;
        while (pending_ >= 8) {
            pending_ -= 8;
            out_[bytes_++] = static_cast<uint8_t>(acc_ >> pending_);
        }
    }

    // Fills the last partial byte with zero bits on its right.
    void Flush() {
        if (pending_ > 0) {
            out_[bytes_++] = static_cast<uint8_t>(acc_ << (8 - pending_));
            pending_ = 0;
        }
    }

    int bits() const { return total_; }
    int bytes() const { return bytes_; }

private:
    uint8_t* out_;
    uint64_t acc_ = 0;
    int pending_ = 0;
    int total_ = 0;
    int bytes_ = 0;
};

}  // namespace

int AlphanumericValue(uint8_t byte) { return kAlphanumeric[byte]; }

DataMode AnalyseMode(const uint8_t* message, size_t length) {
    bool numeric = true;
    for (size_t i = 0; i < length; ++i) {
        const uint8_t b = message[i];
        if (kAlphanumeric[b] < 0) return kModeByte;
        if (b < '0' || b > '9') numeric = false;
    }
    return numeric ? kModeNumeric : kModeAlphanumeric;
}

int CountFieldBits(DataMode mode, int version) {
    return qrcommon::CountFieldWidth(static_cast<qrcommon::Mode>(mode), version);
}

int64_t NeededBits(DataMode mode, size_t length, int version) {
    const auto len = static_cast<int64_t>(length);
    int64_t data = 0;
    switch (mode) {
        case kModeNumeric: {
            static constexpr int kTail[3] = {0, 4, 7};
            data = 10 * (len / 3) + kTail[len % 3];
            break;
        }
        case kModeAlphanumeric:
            data = 11 * (len / 2) + 6 * (len % 2);
            break;
        default:
            data = 8 * len;
            break;
    }
    return 4 + CountFieldBits(mode, version) + data;
}

int ChooseVersion(DataMode mode, size_t length, int requested, int level) {
    for (int v = requested > 0 ? requested : 1; v <= 40; ++v) {
        if (8 * static_cast<int64_t>(qrcommon::DataCodewords(v, level)) >= NeededBits(mode, length, v)) return v;
    }
    return kNoVersion;
}

DataCodewords BuildDataCodewords(const uint8_t* message, size_t length, DataMode mode, int version, int level,
                                 uint8_t* out) {
    const int capacity = qrcommon::DataCodewords(version, level);
    BitWriter w(out);
    w.Put(static_cast<uint32_t>(mode), 4);
    w.Put(static_cast<uint32_t>(length), CountFieldBits(mode, version));
    size_t i = 0;
    switch (mode) {
        case kModeNumeric:
            for (; i + 3 <= length; i += 3)
                w.Put((message[i] - '0') * 100u + (message[i + 1] - '0') * 10u + (message[i + 2] - '0'), 10);
            if (length - i == 2) w.Put((message[i] - '0') * 10u + (message[i + 1] - '0'), 7);
            if (length - i == 1) w.Put(message[i] - '0', 4);
            break;
        case kModeAlphanumeric:
            for (; i + 2 <= length; i += 2) w.Put(45u * kAlphanumeric[message[i]] + kAlphanumeric[message[i + 1]], 11);
            if (i < length) w.Put(kAlphanumeric[message[i]], 6);
            break;
        default:
            for (; i < length; ++i) w.Put(message[i], 8);
            break;
    }
    DataCodewords result;
    result.count = capacity;
    result.streamBits = w.bits();
    const int room = 8 * capacity - w.bits();
    w.Put(0, room >= 4 ? 4 : room);
    w.Flush();
    for (int n = w.bytes(), k = 0; n < capacity; ++n, ++k) out[n] = (k % 2 == 0) ? 0xEC : 0x11;
    return result;
}

}  // namespace mosaire
