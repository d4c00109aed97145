#include <windows.h>

#include <atomic>
#include <new>

#include "threads/thread_object.h"
#include "threads/thread_table.h"

namespace platform {

namespace {

using detail::ThreadTable;

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
    table->DestroyAll();
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
    return table->Find(key, create, destroy);
}

}  // namespace platform
