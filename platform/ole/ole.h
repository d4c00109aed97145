// OLE Automation strings and byte arrays: a byte-length string (BSTR) and a
// one-dimensional SAFEARRAY of unsigned bytes. On Windows these are the
// system's own (oleaut32); elsewhere everything is allocated with malloc, so
// any module of the process can free what another allocated.
#pragma once

#include <cstdint>

#if defined(_WIN32)
#include <windows.h>
#include <oleauto.h>
#else
// The same layout the decoder's public header gives its callers.
#ifndef QR_OLE_TYPES_DEFINED
#define QR_OLE_TYPES_DEFINED
extern "C" {
typedef uint16_t OLECHAR;
typedef OLECHAR* BSTR;

typedef struct tagSAFEARRAYBOUND {
    uint32_t cElements;
    int32_t lLbound;
} SAFEARRAYBOUND;

typedef struct tagSAFEARRAY {
    uint16_t cDims;
    uint16_t fFeatures;
    uint32_t cbElements;
    uint32_t cLocks;
    void* pvData;
    SAFEARRAYBOUND rgsabound[1];
} SAFEARRAY;

enum { VT_UI1 = 17 };
}
#endif
#endif

namespace platform {

inline constexpr int32_t kOleOk = 0;
inline constexpr int32_t kOleInvalidArgument = static_cast<int32_t>(0x80070057u);
inline constexpr int32_t kOleUnexpected = static_cast<int32_t>(0x8000FFFFu);
inline constexpr int32_t kOleArrayLocked = static_cast<int32_t>(0x8002000Du);

// A string of `length` bytes copied from `data` (null: left zero), followed
// by two zero bytes; the 32-bit byte count sits just before the returned
// pointer. Null when memory is short.
BSTR AllocStringByteLen(const char* data, uint32_t length);
void FreeString(BSTR text);
uint32_t StringByteLen(BSTR text);

// A one-dimensional array of `count` unsigned bytes, lower bound `lower`,
// zero-filled. Null when memory is short.
SAFEARRAY* CreateByteVector(int32_t lower, uint32_t count);
int32_t AccessData(SAFEARRAY* array, void** data);
int32_t UnaccessData(SAFEARRAY* array);
int32_t GetLBound(SAFEARRAY* array, uint32_t dimension, int32_t* lower);
int32_t GetUBound(SAFEARRAY* array, uint32_t dimension, int32_t* upper);
// Frees the descriptor and its data; refused while the data are accessed.
int32_t DestroyArray(SAFEARRAY* array);

}  // namespace platform
