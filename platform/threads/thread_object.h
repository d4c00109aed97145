// Per-thread objects: each thread gets its own instance on first use, and
// the instance is destroyed when that thread ends (or, for the main thread,
// when the process exits).
#pragma once

namespace platform {

using ThreadObjectCreate = void* (*)();
using ThreadObjectDestroy = void (*)(void*);

// The calling thread's object for `key` (any address unique to one kind of
// object), made by `create` on the thread's first call and released by
// `destroy` when the thread ends. Null only when `create` returns null; the
// next call then tries again.
void* ThreadObject(const void* key, ThreadObjectCreate create, ThreadObjectDestroy destroy);

}  // namespace platform
