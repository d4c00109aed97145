#include "result_store.h"

#include <new>

#include "threads/thread_object.h"

namespace lectavo {

ResultStore::ResultStore() = default;
ResultStore::~ResultStore() = default;

void ResultStore::Clear() {
    records_.reset();
    count_ = 0;
}

void ResultStore::Assign(const std::vector<DecodeResult>& results) {
    Clear();
    if (results.empty()) return;
    auto records = std::make_unique<DecodeResult[]>(results.size());
    for (size_t i = 0; i < results.size(); ++i) records[i] = results[i];
    records_ = std::move(records);
    count_ = static_cast<int32_t>(results.size());
}

const DecodeResult* ResultStore::At(int32_t index) const {
    if (index < 0 || index >= count_) return nullptr;
    return &records_[static_cast<size_t>(index)];
}

namespace {

const char kStoreKey = 0;

// The thread-object service takes a plain creation function and reports a
// null store to the caller, who maps it to out of memory.
void* CreateStore() { return new (std::nothrow) ResultStore(); }
void DestroyStore(void* store) { delete static_cast<ResultStore*>(store); }

}  // namespace

ResultStore* ThreadResults() {
    return static_cast<ResultStore*>(platform::ThreadObject(&kStoreKey, CreateStore, DestroyStore));
}

}  // namespace lectavo
