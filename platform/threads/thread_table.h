// The table of one thread's objects, shared by both implementations of
// ThreadObject: a handful of kinds per process, so a fixed table needs no
// allocation and no lock.
#pragma once

#include <cstddef>

#include "threads/thread_object.h"

namespace platform::detail {

struct ThreadTable {
    static constexpr size_t kMaxKinds = 16;
    struct Entry {
        const void* key = nullptr;
        void* object = nullptr;
        ThreadObjectDestroy destroy = nullptr;
    };
    Entry entries[kMaxKinds];

    // The object for `key`, made by `create` when there is none yet; null
    // when `create` fails or the table is full.
    void* Find(const void* key, ThreadObjectCreate create, ThreadObjectDestroy destroy) {
        Entry* free_entry = nullptr;
        for (Entry& e : entries) {
            if (e.key == key && e.object) return e.object;
            if (!e.object && !free_entry) free_entry = &e;
        }
        if (!free_entry || !create) return nullptr;
        void* object = create();
        if (!object) return nullptr;
        *free_entry = Entry{key, object, destroy};
        return object;
    }

    void DestroyAll() {
        for (Entry& e : entries)
            if (e.object && e.destroy) e.destroy(e.object);
    }
};

}  // namespace platform::detail
