// The library's entry point on Windows: the thread-local storage slot that
// holds each thread's results is reserved when the library loads (no free
// slot: the library refuses to load) and released when it unloads; a
// thread's results are freed when the thread ends.
#include <windows.h>

#include "threads/thread_object.h"

extern "C" BOOL WINAPI DllMain(HINSTANCE, DWORD reason, LPVOID) {
    switch (reason) {
        case DLL_PROCESS_ATTACH:
            return platform::AttachThreadObjects() ? TRUE : FALSE;
        case DLL_THREAD_DETACH:
            platform::ReleaseThreadObjects();
            break;
        case DLL_PROCESS_DETACH:
            platform::DetachThreadObjects();
            break;
        default:
            break;
    }
    return TRUE;
}
