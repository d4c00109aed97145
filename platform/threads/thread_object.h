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

// Windows keeps each thread's objects in one thread-local storage slot, and a
// library learns of threads ending only in its DllMain, which calls these:
// on process attach (false: no slot is free, the library must not load), on
// thread detach (the calling thread's objects are destroyed) and on process
// detach (the calling thread's objects are destroyed and the slot freed).
// A program that never attaches gets its slot on first use.
bool AttachThreadObjects();
void ReleaseThreadObjects();
void DetachThreadObjects();

}  // namespace platform
