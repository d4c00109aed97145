#include "decode_driver.h"

#include "decoder_options.h"
#include "result_codes.h"
#include "result_store.h"

namespace lectavo {

namespace {

// Empties the thread's store, runs `call` with the current options and the
// store's workspace, and keeps what it found with its mapping.
template <typename Call>
int IntoThreadStore(Call call) {
    ResultStore* store = ThreadResults();
    if (!store) return kOutOfMemory;
    store->Clear();
    CallOutcome outcome = call(CurrentOptions(), store->Workspace());
    store->SetMapping(outcome.mapping);
    if (outcome.code <= 0 || outcome.results.empty()) return outcome.code;
    store->Assign(outcome.results);
    return store->Count();
}

}  // namespace

int DecodeFileIntoStore(const char* path, const PictureRect* rect) {
    return IntoThreadStore([&](const DecoderOptions& options, DecodeWorkspace& workspace) {
        return DecodeFileCall(path, rect, options, workspace);
    });
}

int DecodeGreyIntoStore(const uint8_t* pixels, int width, int height) {
    return IntoThreadStore([&](const DecoderOptions& options, DecodeWorkspace& workspace) {
        return DecodeGreyCall(pixels, width, height, options, workspace);
    });
}

int DecodeBinaryIntoStore(const uint8_t* pixels, int width, int height) {
    return IntoThreadStore([&](const DecoderOptions& options, DecodeWorkspace& workspace) {
        return DecodeBinaryCall(pixels, width, height, options, workspace);
    });
}

}  // namespace lectavo
