#include <windows.h>

#include <atomic>
#include <cstddef>
#include <new>

#include "threads/thread_object.h"

namespace platform {

namespace {

constexpr size_t kMaxKinds = 16;

struct Entry {
    const void* key = nullptr;
    void* object = nullptr;
    ThreadObjectDestroy destroy = nullptr;
};

struct ThreadTable {
    Entry entries[kMaxKinds];
};

std::atomic<DWORD> slot{TLS_OUT_OF_INDEXES};

DWORD Slot() {
    DWORD current = slot.load();
    if (current != TLS_OUT_OF_INDEXES) return current;
    const DWORD fresh = TlsAlloc();
    if (fresh == TLS_OUT_OF_INDEXES) return fresh;
    if (slot.compare_exchange_strong(current, fresh)) return fresh;
    TlsFree(fresh);  // another thread was first
    return current;
}

}  // namespace

bool AttachThreadObjects() { return Slot() != TLS_OUT_OF_INDEXES; }

void ReleaseThreadObjects() {
    const DWORD index = slot.load();
    if (index == TLS_OUT_OF_INDEXES) return;
    auto* table = static_cast<ThreadTable*>(TlsGetValue(index));
    if (table == nullptr) return;
    TlsSetValue(index, nullptr);
    for (Entry& e : table->entries)
        if (e.object && e.destroy) e.destroy(e.object);
    delete table;
}

void DetachThreadObjects() {
    ReleaseThreadObjects();
    const DWORD index = slot.exchange(TLS_OUT_OF_INDEXES);
    if (index != TLS_OUT_OF_INDEXES) TlsFree(index);
}

void* ThreadObject(const void* key, ThreadObjectCreate create, ThreadObjectDestroy destroy) {
    const DWORD index = Slot();
    if (index == TLS_OUT_OF_INDEXES) return nullptr;
    auto* table = static_cast<ThreadTable*>(TlsGetValue(index));
    if (table == nullptr) {
        table = new (std::nothrow) ThreadTable{};
        if (table == nullptr || !TlsSetValue(index, table)) {
            delete table;
            return nullptr;
        }
    }
    Entry* free_entry = nullptr;
    for (Entry& e : table->entries) {
        if (e.key == key && e.object) return e.object;
        if (!e.object && !free_entry) free_entry = &e;
    }
    if (!free_entry || !create) return nullptr;
    void* object = create();
    if (!object) return nullptr;
    *free_entry = Entry{key, object, destroy};
    return object;
}

}  // namespace platform
