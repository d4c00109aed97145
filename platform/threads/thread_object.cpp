#include "threads/thread_object.h"

#include <cstddef>

namespace platform {

namespace {

// A handful of kinds of objects per process; a fixed table needs no
// allocation and no lock.
constexpr size_t kMaxKinds = 16;

struct Entry {
    const void* key = nullptr;
    void* object = nullptr;
    ThreadObjectDestroy destroy = nullptr;
};

struct ThreadTable {
    Entry entries[kMaxKinds];
    ~ThreadTable() {
        for (Entry& e : entries)
            if (e.object && e.destroy) e.destroy(e.object);
    }
};

thread_local ThreadTable table;

}  // namespace

void* ThreadObject(const void* key, ThreadObjectCreate create, ThreadObjectDestroy destroy) {
    Entry* free_entry = nullptr;
    for (Entry& e : table.entries) {
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
