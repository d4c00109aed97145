#include "ole/ole.h"

namespace platform {

BSTR AllocStringByteLen(const char* data, uint32_t length) { return SysAllocStringByteLen(data, length); }

void FreeString(BSTR text) { SysFreeString(text); }

uint32_t StringByteLen(BSTR text) { return SysStringByteLen(text); }

SAFEARRAY* CreateByteVector(int32_t lower, uint32_t count) { return SafeArrayCreateVector(VT_UI1, lower, count); }

int32_t AccessData(SAFEARRAY* array, void** data) { return SafeArrayAccessData(array, data); }

int32_t UnaccessData(SAFEARRAY* array) { return SafeArrayUnaccessData(array); }

int32_t GetLBound(SAFEARRAY* array, uint32_t dimension, int32_t* lower) {
    LONG value = 0;
    const HRESULT result = SafeArrayGetLBound(array, dimension, &value);
    if (result == S_OK && lower != nullptr) *lower = value;
    return lower != nullptr ? result : kOleInvalidArgument;
}

int32_t GetUBound(SAFEARRAY* array, uint32_t dimension, int32_t* upper) {
    LONG value = 0;
    const HRESULT result = SafeArrayGetUBound(array, dimension, &value);
    if (result == S_OK && upper != nullptr) *upper = value;
    return upper != nullptr ? result : kOleInvalidArgument;
}

int32_t DestroyArray(SAFEARRAY* array) { return SafeArrayDestroy(array); }

}  // namespace platform
