#include "symbol_trial.h"

#include <cstring>

#include "decode/codewords.h"

namespace lectavo {

TrialStatus DecodeGridTrial(const SampledGrid& grid, const GridDecodeOptions& options, DecodedData& out) {
    switch (DecodeSampledGrid(grid, options, out)) {
        case DecodeStatus::kOk:
            return TrialStatus::kRead;
        case DecodeStatus::kSegmentsInvalid:
            return TrialStatus::kDataInvalid;
        default:
            return TrialStatus::kUnread;
    }
}

FirstBlockCheck DecodingFirstBlockCheck() { return FirstBlockCheck{&FirstBlockModules, &FirstBlockCorrectable}; }

DecodeResult MakeResult(const SampledGrid& grid, const DecodedData& data, const int32_t corners[4][2],
                        const Quad& exact, FoundBy foundBy) {
    DecodeResult r;
    r.version = grid.version;
    r.level = grid.level;
    r.mask = grid.mask;
    r.dataLength = data.length;
    std::memcpy(r.data, data.bytes, static_cast<size_t>(data.length) + 1);
    r.sequencePosition = data.sequencePosition;
    r.sequenceTotal = data.sequenceTotal;
    r.sequenceParity = data.sequenceParity;
    r.eci = data.eci;
    r.gs1 = data.gs1;
    r.mirrored = grid.mirrored;
    r.inverted = grid.inverted;
    r.foundBy = foundBy;
    for (int k = 0; k < 4; ++k) {
        r.corners[k][0] = corners[k][0];
        r.corners[k][1] = corners[k][1];
        r.exactCorners[k][0] = exact.x[k];
        r.exactCorners[k][1] = exact.y[k];
    }
    return r;
}

}  // namespace lectavo
