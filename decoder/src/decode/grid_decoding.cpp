#include "decode/grid_decoding.h"

#include "decode/codewords.h"
#include "decode/segments.h"

namespace lectavo {

namespace {

// Mode indicators a data stream may start with.
constexpr uint8_t kStructuredAppend = 3;

// Decodes the data codewords; a stream that starts with anything but a
// numeric, alphanumeric, byte, Kanji or structured-append indicator yields
// nothing.
bool DecodeStream(const DataStream& stream, int version, DecodedData& out) {
    const uint8_t* bytes = stream.bytes;
    if (stream.count < 1 || stream.count > kMaxCodewords) return false;
    switch (bytes[0] >> 4) {
        case 1:
        case 2:
        case 4:
        case 8:
            return DecodeSegments(bytes, stream.count, version, false, out);
        case kStructuredAppend:
            if (stream.count < 3) return false;
            out.sequencePosition = bytes[0] & 0x0F;
            out.sequenceTotal = (bytes[1] >> 4) + 1;
            out.sequenceParity = static_cast<uint8_t>(((bytes[1] & 0x0F) << 4) | (bytes[2] >> 4));
            return DecodeSegments(bytes, stream.count, version, true, out);
        default:
            return false;
    }
}

}  // namespace

DecodeStatus DecodeSampledGrid(const SampledGrid& grid, const GridDecodeOptions&, DecodedData& out) {
    DataStream stream;
    if (!ExtractCodewords(grid, stream)) return DecodeStatus::kCodewordsFailed;
    return DecodeStream(stream, grid.version, out) ? DecodeStatus::kOk : DecodeStatus::kSegmentsInvalid;
}

}  // namespace lectavo
