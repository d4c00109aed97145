#include "decode/grid_decoding.h"

#include "decode/codewords.h"
#include "decode/segments.h"

namespace lectavo {

namespace {

// Mode indicators a data stream may start with.
constexpr uint8_t kStructuredAppend = 3;

// Decodes the data codewords; a stream that starts with anything but a
// numeric, alphanumeric, byte, Kanji or structured-append indicator (or,
// when they are read, an ECI or FNC1 indicator) yields nothing.
bool DecodeStream(const DataStream& stream, int version, bool readEciAndFnc1, DecodedData& out) {
    const uint8_t* bytes = stream.bytes;
    if (stream.count < 1 || stream.count > kMaxCodewords) return false;
    switch (bytes[0] >> 4) {
        case 5:
        case 7:
        case 9:
            if (!readEciAndFnc1) return false;
            [[fallthrough]];
        case 1:
        case 2:
        case 4:
        case 8:
            return DecodeSegments(bytes, stream.count, version, false, readEciAndFnc1, out);
        case kStructuredAppend:
            if (stream.count < 3) return false;
            out.sequencePosition = bytes[0] & 0x0F;
            out.sequenceTotal = (bytes[1] >> 4) + 1;
            out.sequenceParity = static_cast<uint8_t>(((bytes[1] & 0x0F) << 4) | (bytes[2] >> 4));
            return DecodeSegments(bytes, stream.count, version, true, readEciAndFnc1, out);
        default:
            return false;
    }
}

}  // namespace

DecodeStatus DecodeSampledGrid(const SampledGrid& grid, const GridDecodeOptions& options, DecodedData& out) {
    DataStream stream;
    if (!ExtractCodewords(grid, stream)) return DecodeStatus::kCodewordsFailed;
    return DecodeStream(stream, grid.version, options.readEciAndFnc1, out) ? DecodeStatus::kOk
                                                                           : DecodeStatus::kSegmentsInvalid;
}

}  // namespace lectavo
