#include "threads/thread_object.h"

#include "threads/thread_table.h"

namespace platform {

namespace {

struct ThreadTableOwner {
    detail::ThreadTable table;
    ~ThreadTableOwner() { table.DestroyAll(); }
};

thread_local ThreadTableOwner owner;

}  // namespace

void* ThreadObject(const void* key, ThreadObjectCreate create, ThreadObjectDestroy destroy) {
    return owner.table.Find(key, create, destroy);
}

}  // namespace platform
