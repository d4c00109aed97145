#include "decode_driver.h"

#include <algorithm>
#include <new>

#include "decoder_options.h"
#include "input/binarizer.h"
#include "input/picture_reader.h"
#include "locate/search_pass.h"
#include "position_mapping.h"
#include "result_codes.h"
#include "result_store.h"
#include "second_stage.h"

namespace lectavo {

namespace {

// The single place where running out of memory becomes a return code.
template <typename Body>
int MappingOutOfMemory(Body body) {
    try {
        return body();
    } catch (const std::bad_alloc&) {
        return kOutOfMemory;
    }
}

// Keeps the call's results for the thread when anything was found.
int Conclude(ResultStore& store, const std::vector<DecodeResult>& results) {
    if (results.empty()) return 0;
    store.Assign(results);
    return store.Count();
}

// The passes' results (none unless they reported success), then the photo
// reader's when the options ask for it and the passes fell short;
// `runPhotos` appends the photo reader's results to the list it is given.
template <typename RunPhotos>
int ConcludeWithPhotos(ResultStore& store, SearchState& state, bool found, const DecoderOptions& options,
                       RunPhotos runPhotos) {
    if (!found) state.results.clear();
    if (SecondStageRuns(options, state.results.size())) runPhotos(state.results);
    return Conclude(store, state.results);
}

// The store emptied for a new call, or null when the thread has none.
ResultStore* FreshStore() {
    ResultStore* store = ThreadResults();
    if (store) store->Clear();
    return store;
}

// A search state for one call, with the thread's reading workspace; the
// workspace goes back to the store when the call ends.
class CallState {
public:
    CallState(ResultStore& store, const DecoderOptions& options) : store_(store) {
        state.minModuleSize = options.minimumModuleSize;
        state.reading = store.TakeReading();
    }
    ~CallState() { store_.KeepReading(std::move(state.reading)); }
    CallState(const CallState&) = delete;
    CallState& operator=(const CallState&) = delete;

    SearchState state;

private:
    ResultStore& store_;
};

int SearchGrey(ResultStore& store, const uint8_t* grey, int width, int height, uint8_t threshold, bool bilevel) {
    const DecoderOptions options = CurrentOptions();
    CallState call(store, options);
    SearchState& state = call.state;
    const PlaneSearch pass = [&](const uint8_t* plane, int w, int h) {
        SearchOutcome outcome;
        outcome.success = SearchPass(BinaryPlane{plane, w, h}, state, options.symbolCount);
        outcome.symbolsHeld = static_cast<int>(state.results.size());
        return outcome;
    };
    const BinarizeStatus status = Binarize(grey, width, height, threshold, bilevel, options, pass);
    return ConcludeWithPhotos(store, state, status == BinarizeStatus::kFound, options,
                              [&](std::vector<DecodeResult>& results) {
                                  AppendPhotoResults(grey, width, height, WantedSymbols(options), results);
                              });
}

bool UsableArray(const uint8_t* pixels, int width, int height) { return pixels && width > 0 && height > 0; }

// The common start of the calls on a caller's pixel array: a fresh store, the
// identity mapping, and the array checked before `search` runs.
template <typename Search>
int DecodeArray(const uint8_t* pixels, int width, int height, Search search) {
    return MappingOutOfMemory([&] {
        ResultStore* store = FreshStore();
        if (!store) return kOutOfMemory;
        store->SetMapping(PositionMapping{});
        if (!UsableArray(pixels, width, height)) return 0;
        if (!WithinSizeLimit(width, height)) return kOutOfMemory;
        return search(*store);
    });
}

}  // namespace

PictureRect RectFromCorners(int32_t x1, int32_t y1, int32_t x2, int32_t y2) {
    return PictureRect{std::min(x1, x2), std::min(y1, y2), std::max(x1, x2), std::max(y1, y2)};
}

int DecodeFile(const char* path, const PictureRect* rect) {
    return MappingOutOfMemory([&] {
        ResultStore* store = FreshStore();
        if (!store) return kOutOfMemory;
        PositionMapping mapping;
        if (rect) {
            // Readers clip negative coordinates to the picture's edge.
            mapping.originX = std::max(rect->left, 0);
            mapping.originY = std::max(rect->top, 0);
        }
        store->SetMapping(mapping);
        if (!path || !*path) return kFileNotFound;

        GrayPicture picture;
        const int code = ReadPicture(path, rect, picture);
        mapping.scaleX = picture.scaleX;
        mapping.scaleY = picture.scaleY;
        store->SetMapping(mapping);
        if (!picture.HasImage()) return code;
        return SearchGrey(*store, picture.pixels.data(), picture.width, picture.height, picture.threshold,
                          picture.bilevel);
    });
}

int DecodeGrey(const uint8_t* pixels, int width, int height) {
    return DecodeArray(pixels, width, height, [&](ResultStore& store) {
        GreyRange range;
        range.AddAll(pixels, static_cast<size_t>(width) * static_cast<size_t>(height));
        return SearchGrey(store, pixels, width, height, range.Threshold(), false);
    });
}

int DecodeBinary(const uint8_t* pixels, int width, int height) {
    return DecodeArray(pixels, width, height, [&](ResultStore& store) {
        const DecoderOptions options = CurrentOptions();
        CallState call(store, options);
        SearchState& state = call.state;
        const bool found = SearchPass(BinaryPlane{pixels, width, height}, state, options.symbolCount);
        return ConcludeWithPhotos(store, state, found, options, [&](std::vector<DecodeResult>& results) {
            const std::vector<uint8_t> grey = GreyFromBinary(pixels, width, height);
            AppendPhotoResults(grey.data(), width, height, WantedSymbols(options), results);
        });
    });
}

}  // namespace lectavo
