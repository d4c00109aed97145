#include "ole/ole.h"

#include <cstdlib>
#include <cstring>
#include <limits>

namespace platform {

namespace {

// Feature flag: the element type (VT_UI1) is known.
constexpr uint16_t kFeatureHaveVarType = 0x0080;

bool IsByteVector(const SAFEARRAY* array, uint32_t dimension) {
    return array != nullptr && array->cDims == 1 && array->cbElements == 1 && dimension == 1;
}

}  // namespace

BSTR AllocStringByteLen(const char* data, uint32_t length) {
    if (length > std::numeric_limits<uint32_t>::max() - 8) return nullptr;
    auto* block = static_cast<unsigned char*>(std::malloc(sizeof(uint32_t) + length + 2));
    if (!block) return nullptr;
    std::memcpy(block, &length, sizeof length);
    unsigned char* text = block + sizeof(uint32_t);
    if (data && length)
        std::memcpy(text, data, length);
    else
        std::memset(text, 0, length);
    text[length] = 0;
    text[length + 1] = 0;
    return reinterpret_cast<BSTR>(text);
}

void FreeString(BSTR text) {
    if (text) std::free(reinterpret_cast<unsigned char*>(text) - sizeof(uint32_t));
}

uint32_t StringByteLen(BSTR text) {
    if (!text) return 0;
    uint32_t length = 0;
    std::memcpy(&length, reinterpret_cast<unsigned char*>(text) - sizeof(uint32_t), sizeof length);
    return length;
}

SAFEARRAY* CreateByteVector(int32_t lower, uint32_t count) {
    auto* array = static_cast<SAFEARRAY*>(std::calloc(1, sizeof(SAFEARRAY)));
    if (!array) return nullptr;
    // One byte more than needed so that an empty array still owns a block.
    array->pvData = std::calloc(static_cast<size_t>(count) + 1, 1);
    if (!array->pvData) {
        std::free(array);
        return nullptr;
    }
    array->cDims = 1;
    array->fFeatures = kFeatureHaveVarType;
    array->cbElements = 1;
    array->rgsabound[0].cElements = count;
    array->rgsabound[0].lLbound = lower;
    return array;
}

int32_t AccessData(SAFEARRAY* array, void** data) {
    if (!IsByteVector(array, 1) || !data) return kOleInvalidArgument;
    ++array->cLocks;
    *data = array->pvData;
    return kOleOk;
}

int32_t UnaccessData(SAFEARRAY* array) {
    if (!IsByteVector(array, 1)) return kOleInvalidArgument;
    if (array->cLocks == 0) return kOleUnexpected;
    --array->cLocks;
    return kOleOk;
}

int32_t GetLBound(SAFEARRAY* array, uint32_t dimension, int32_t* lower) {
    if (!IsByteVector(array, dimension) || !lower) return kOleInvalidArgument;
    *lower = array->rgsabound[0].lLbound;
    return kOleOk;
}

int32_t GetUBound(SAFEARRAY* array, uint32_t dimension, int32_t* upper) {
    if (!IsByteVector(array, dimension) || !upper) return kOleInvalidArgument;
    *upper = static_cast<int32_t>(static_cast<int64_t>(array->rgsabound[0].lLbound) +
                                  static_cast<int64_t>(array->rgsabound[0].cElements) - 1);
    return kOleOk;
}

int32_t DestroyArray(SAFEARRAY* array) {
    if (!array) return kOleOk;
    if (!IsByteVector(array, 1)) return kOleInvalidArgument;
    if (array->cLocks != 0) return kOleArrayLocked;
    std::free(array->pvData);
    std::free(array);
    return kOleOk;
}

}  // namespace platform
