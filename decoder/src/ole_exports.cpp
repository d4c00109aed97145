// Outside Windows the library also exports the functions that release the
// strings and arrays it hands out (on Windows they are the system's own).
#include "lectavo.h"
#include "ole/ole.h"

extern "C" {

LECTAVO_API void LECTAVO_CALL SysFreeString(BSTR text) { platform::FreeString(text); }
LECTAVO_API uint32_t LECTAVO_CALL SysStringByteLen(BSTR text) { return platform::StringByteLen(text); }
LECTAVO_API int32_t LECTAVO_CALL SafeArrayAccessData(SAFEARRAY* array, void** data) {
    return platform::AccessData(array, data);
}
LECTAVO_API int32_t LECTAVO_CALL SafeArrayUnaccessData(SAFEARRAY* array) { return platform::UnaccessData(array); }
LECTAVO_API int32_t LECTAVO_CALL SafeArrayGetLBound(SAFEARRAY* array, uint32_t dimension, int32_t* lower) {
    return platform::GetLBound(array, dimension, lower);
}
LECTAVO_API int32_t LECTAVO_CALL SafeArrayGetUBound(SAFEARRAY* array, uint32_t dimension, int32_t* upper) {
    return platform::GetUBound(array, dimension, upper);
}
LECTAVO_API int32_t LECTAVO_CALL SafeArrayDestroy(SAFEARRAY* array) { return platform::DestroyArray(array); }

}  // extern "C"
