#include "decode_driver.h"

#include <algorithm>
#include <memory>
#include <new>

#include "binarizer.h"
#include "decoder_options.h"
#include "position_mapping.h"
#include "result_store.h"
#include "symbol_search.h"

namespace lectavo {

namespace {

std::unique_ptr<SymbolSearch> NewSearch(const DecoderOptions& options) {
    std::unique_ptr<SymbolSearch> search(new (std::nothrow) SymbolSearch());
    if (search) search->minModuleSize = options.minimumModuleSize;
    return search;
}

// Keeps the search's results for the thread when anything was found.
int Conclude(ResultStore& store, const SymbolSearch& search, bool found, bool ranOutOfMemory) {
    if (!found) return ranOutOfMemory ? kOutOfMemory : 0;
    if (!store.Assign(search.results)) return kOutOfMemory;
    return store.Count();
}

// The store emptied for a new call, or null when the thread has none.
ResultStore* FreshStore() {
    ResultStore* store = ThreadResults();
    if (store) store->Clear();
    return store;
}

int SearchGrey(ResultStore& store, const uint8_t* grey, int width, int height, uint8_t threshold, bool bilevel) {
    const DecoderOptions options = CurrentOptions();
    std::unique_ptr<SymbolSearch> search = NewSearch(options);
    if (!search) return kOutOfMemory;
    bool ranOutOfMemory = false;
    const PlaneSearch pass = [&](const uint8_t* plane, int w, int h) {
        SearchOutcome outcome;
        outcome.success = SearchPass(*search, plane, w, h, options.symbolCount);
        outcome.symbolsHeld = static_cast<int>(search->results.size());
        ranOutOfMemory = ranOutOfMemory || search->outOfMemory;
        return outcome;
    };
    const BinarizeStatus status = Binarize(grey, width, height, threshold, bilevel, options, pass);
    if (status == BinarizeStatus::kOutOfMemory) return kOutOfMemory;
    return Conclude(store, *search, status == BinarizeStatus::kFound, ranOutOfMemory);
}

bool UsableArray(const uint8_t* pixels, int width, int height) { return pixels && width > 0 && height > 0; }

}  // namespace

PictureRect RectFromCorners(int32_t x1, int32_t y1, int32_t x2, int32_t y2) {
    return PictureRect{std::min(x1, x2), std::min(y1, y2), std::max(x1, x2), std::max(y1, y2)};
}

int DecodeFile(const char* path, const PictureRect* rect) {
    ResultStore* store = FreshStore();
    if (!store) return kOutOfMemory;
    PositionMapping mapping;
    if (rect) {
        // Readers clip negative coordinates to the picture's edge.
        mapping.originX = std::max(rect->left, 0);
        mapping.originY = std::max(rect->top, 0);
    }
    SetMapping(mapping);
    if (!path || !*path) return kFileNotFound;

    GrayPicture picture;
    const int code = ReadPicture(path, rect, picture);
    mapping.scaleX = picture.scaleX;
    mapping.scaleY = picture.scaleY;
    SetMapping(mapping);
    if (!picture.HasImage()) return code;
    return SearchGrey(*store, picture.pixels.data(), picture.width, picture.height, picture.threshold, picture.bilevel);
}

int DecodeGrey(const uint8_t* pixels, int width, int height) {
    ResultStore* store = FreshStore();
    if (!store) return kOutOfMemory;
    SetMapping(PositionMapping{});
    if (!UsableArray(pixels, width, height)) return 0;
    if (!WithinSizeLimit(width, height)) return kOutOfMemory;
    GreyRange range;
    range.AddAll(pixels, static_cast<size_t>(width) * static_cast<size_t>(height));
    return SearchGrey(*store, pixels, width, height, range.Threshold(), false);
}

int DecodeBinary(const uint8_t* pixels, int width, int height) {
    ResultStore* store = FreshStore();
    if (!store) return kOutOfMemory;
    SetMapping(PositionMapping{});
    if (!UsableArray(pixels, width, height)) return 0;
    if (!WithinSizeLimit(width, height)) return kOutOfMemory;
    const DecoderOptions options = CurrentOptions();
    std::unique_ptr<SymbolSearch> search = NewSearch(options);
    if (!search) return kOutOfMemory;
    const bool found = SearchPass(*search, pixels, width, height, options.symbolCount);
    return Conclude(*store, *search, found, search->outOfMemory);
}

}  // namespace lectavo
