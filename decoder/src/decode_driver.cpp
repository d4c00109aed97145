#include "decode_driver.h"

#include <new>

#include "decoder_options.h"
#include "result_codes.h"
#include "result_store.h"
#include "threads/thread_object.h"

namespace lectavo {

namespace {

const char kWorkspaceKey = 0;

void* CreateWorkspace() { return new (std::nothrow) DecodeWorkspace(); }
void DestroyWorkspace(void* workspace) { delete static_cast<DecodeWorkspace*>(workspace); }

// The calling thread's decode workspace, kept between its calls so that a
// call does not allocate and clear it again; null when it cannot be made.
DecodeWorkspace* ThreadWorkspace() {
    return static_cast<DecodeWorkspace*>(platform::ThreadObject(&kWorkspaceKey, CreateWorkspace, DestroyWorkspace));
}

// Empties the thread's store, runs `call` with the current options and the
// thread's workspace, and keeps what it found with its mapping.
template <typename Call>
int IntoThreadStore(Call call) {
    ResultStore* store = ThreadResults();
    DecodeWorkspace* workspace = ThreadWorkspace();
    if (!store || !workspace) return kOutOfMemory;
    store->Clear();
    CallOutcome outcome = call(CurrentOptions(), *workspace);
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
