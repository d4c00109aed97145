#include "decode_call.h"

#include <algorithm>

#include "input/picture_reader.h"
#include "first_search/search_pass.h"
#include "result_codes.h"
#include "sample/symbol_reading.h"
#include "enlarged_passes.h"
#include "plane_passes.h"
#include "second_stage.h"

namespace lectavo {

DecodeWorkspace::DecodeWorkspace() = default;
DecodeWorkspace::~DecodeWorkspace() = default;
DecodeWorkspace::DecodeWorkspace(DecodeWorkspace&&) noexcept = default;
DecodeWorkspace& DecodeWorkspace::operator=(DecodeWorkspace&&) noexcept = default;

std::unique_ptr<SymbolReading> DecodeWorkspace::Take() {
    if (reading_) reading_->attemptsLeft = kMaxReadingAttempts;
    return std::move(reading_);
}

void DecodeWorkspace::Keep(std::unique_ptr<SymbolReading> reading) { reading_ = std::move(reading); }

namespace {

// A search state for one call, with the workspace's symbol reading; the
// reading goes back to the workspace when the call ends.
class CallState {
public:
    CallState(DecodeWorkspace& workspace, const DecoderOptions& options) : workspace_(workspace) {
        state.minModuleSize = options.minimumModuleSize;
        state.reading = workspace.Take();
    }
    ~CallState() { workspace_.Keep(std::move(state.reading)); }
    CallState(const CallState&) = delete;
    CallState& operator=(const CallState&) = delete;

    SearchState state;

private:
    DecodeWorkspace& workspace_;
};

// The passes' results (none unless they reported success), then the photo
// reader's when the options ask for it and the passes fell short;
// `runPhotos` appends the photo reader's results to the list it is given.
template <typename RunPhotos>
void ConcludeWithPhotos(SearchState& state, bool found, const DecoderOptions& options, RunPhotos runPhotos,
                        CallOutcome& outcome) {
    if (!found) state.results.clear();
    if (SecondStageRuns(options, state.results.size())) runPhotos(state.results);
    outcome.results = std::move(state.results);
    outcome.code = static_cast<int>(outcome.results.size());
}

void SearchGrey(const uint8_t* grey, int width, int height, uint8_t threshold, bool bilevel,
                const DecoderOptions& options, DecodeWorkspace& workspace, CallOutcome& outcome) {
    CallState call(workspace, options);
    SearchState& state = call.state;
    const bool found = RunPlanePasses(grey, width, height, threshold, bilevel, options, state);
    ConcludeWithPhotos(
        state, found, options,
        [&](std::vector<DecodeResult>& results) {
            if (AppendPhotoResults(grey, width, height, WantedSymbols(options), results) > 0)
                AppendEnlargedPassResults(grey, width, height, options, WantedSymbols(options), results);
        },
        outcome);
}

bool UsableArray(const uint8_t* pixels, int width, int height) { return pixels && width > 0 && height > 0; }

// The common start of the calls on a caller's pixel array: the array checked
// before `search` runs, with the identity mapping.
template <typename Search>
CallOutcome DecodeArray(const uint8_t* pixels, int width, int height, Search search) {
    CallOutcome outcome;
    if (!UsableArray(pixels, width, height)) return outcome;
    if (!WithinSizeLimit(width, height)) {
        outcome.code = kOutOfMemory;
        return outcome;
    }
    search(outcome);
    return outcome;
}

}  // namespace

PictureRect RectFromCorners(int32_t x1, int32_t y1, int32_t x2, int32_t y2) {
    return PictureRect{std::min(x1, x2), std::min(y1, y2), std::max(x1, x2), std::max(y1, y2)};
}

CallOutcome DecodeFileCall(const char* path, const PictureRect* rect, const DecoderOptions& options,
                           DecodeWorkspace& workspace) {
    CallOutcome outcome;
    if (rect) {
        // Readers clip negative coordinates to the picture's edge.
        outcome.mapping.originX = std::max(rect->left, 0);
        outcome.mapping.originY = std::max(rect->top, 0);
    }
    if (!path || !*path) {
        outcome.code = kFileNotFound;
        return outcome;
    }
    GrayPicture picture;
    outcome.code = ReadPicture(path, rect, picture);
    outcome.mapping.scaleX = picture.scaleX;
    outcome.mapping.scaleY = picture.scaleY;
    if (!picture.HasImage()) return outcome;
    CallOutcome found = DecodePictureCall(picture, options, workspace);
    outcome.code = found.code;
    outcome.results = std::move(found.results);
    return outcome;
}

CallOutcome DecodePictureCall(const GrayPicture& picture, const DecoderOptions& options, DecodeWorkspace& workspace) {
    CallOutcome outcome;
    outcome.mapping.scaleX = picture.scaleX;
    outcome.mapping.scaleY = picture.scaleY;
    if (!picture.HasImage()) return outcome;
    SearchGrey(picture.pixels.data(), picture.width, picture.height, picture.threshold, picture.bilevel, options,
               workspace, outcome);
    return outcome;
}

CallOutcome DecodeGreyCall(const uint8_t* pixels, int width, int height, const DecoderOptions& options,
                           DecodeWorkspace& workspace) {
    return DecodeArray(pixels, width, height, [&](CallOutcome& outcome) {
        GreyRange range;
        range.AddAll(pixels, static_cast<size_t>(width) * static_cast<size_t>(height));
        SearchGrey(pixels, width, height, range.Threshold(), false, options, workspace, outcome);
    });
}

CallOutcome DecodeBinaryCall(const uint8_t* pixels, int width, int height, const DecoderOptions& options,
                             DecodeWorkspace& workspace) {
    return DecodeArray(pixels, width, height, [&](CallOutcome& outcome) {
        CallState call(workspace, options);
        SearchState& state = call.state;
        const bool found = SearchPass(BinaryPlane{pixels, width, height}, state, options.symbolCount);
        ConcludeWithPhotos(
            state, found, options,
            [&](std::vector<DecodeResult>& results) {
                const std::vector<uint8_t> grey = GreyFromBinary(pixels, width, height);
                if (AppendPhotoResults(grey.data(), width, height, WantedSymbols(options), results) > 0)
                    AppendEnlargedPassResults(grey.data(), width, height, options, WantedSymbols(options), results);
            },
            outcome);
    });
}

}  // namespace lectavo
