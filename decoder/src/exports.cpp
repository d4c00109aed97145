// The C boundary of the decoder library: argument checks, exception
// barriers and the conversion of results into the caller's types.
#include <cstring>

#include "common/c_boundary.h"
#include "decode_driver.h"
#include "decoder_options.h"
#include "lectavo.h"
#include "ole/ole.h"
#include "position_mapping.h"
#include "result_store.h"

namespace {

using qrcommon::Guarded;

const lectavo::DecodeResult* Record(int32_t index) {
    const lectavo::ResultStore* store = lectavo::ThreadResults();
    return store ? store->At(index) : nullptr;
}

}  // namespace

extern "C" {

LECTAVO_API int32_t LECTAVO_CALL DecodePictureFile(const char* path) {
    return Guarded(lectavo::kOutOfMemory, [&] { return lectavo::DecodeFileIntoStore(path, nullptr); });
}

LECTAVO_API int32_t LECTAVO_CALL DecodePictureFileRect(const char* path, int32_t x1, int32_t y1, int32_t x2,
                                                       int32_t y2) {
    return Guarded(lectavo::kOutOfMemory, [&] {
        const lectavo::PictureRect rect = lectavo::RectFromCorners(x1, y1, x2, y2);
        return lectavo::DecodeFileIntoStore(path, &rect);
    });
}

LECTAVO_API int32_t LECTAVO_CALL DecodeGrayScaleArray(const unsigned char* pixels, int32_t width, int32_t height) {
    return Guarded(lectavo::kOutOfMemory, [&] { return lectavo::DecodeGreyIntoStore(pixels, width, height); });
}

LECTAVO_API int32_t LECTAVO_CALL DecodeBinaryArray(const unsigned char* pixels, int32_t width, int32_t height) {
    return Guarded(lectavo::kOutOfMemory, [&] { return lectavo::DecodeBinaryIntoStore(pixels, width, height); });
}

LECTAVO_API int32_t LECTAVO_CALL GetDecodeData(int32_t index, unsigned char** data) {
    return Guarded(-1, [&]() -> int32_t {
        const lectavo::DecodeResult* r = Record(index);
        if (!r || !data) return -1;
        if (*data == nullptr)
            *data = const_cast<unsigned char*>(r->data);
        else
            std::memcpy(*data, r->data, static_cast<size_t>(r->dataLength) + 1);
        return r->dataLength;
    });
}

LECTAVO_API BSTR LECTAVO_CALL GetDecodeDataString(int32_t index) {
    return Guarded<BSTR>(nullptr, [&]() -> BSTR {
        const lectavo::DecodeResult* r = Record(index);
        if (!r) return nullptr;
        return platform::AllocStringByteLen(reinterpret_cast<const char*>(r->data),
                                            static_cast<uint32_t>(r->dataLength));
    });
}

LECTAVO_API SAFEARRAY* LECTAVO_CALL GetDecodeDataByteArray(int32_t index) {
    return Guarded<SAFEARRAY*>(nullptr, [&]() -> SAFEARRAY* {
        const lectavo::DecodeResult* r = Record(index);
        if (!r) return nullptr;
        SAFEARRAY* array = platform::CreateByteVector(0, static_cast<uint32_t>(r->dataLength));
        void* bytes = nullptr;
        if (!array || platform::AccessData(array, &bytes) != platform::kOleOk) {
            platform::DestroyArray(array);
            return nullptr;
        }
        std::memcpy(bytes, r->data, static_cast<size_t>(r->dataLength));
        platform::UnaccessData(array);
        return array;
    });
}

LECTAVO_API int32_t LECTAVO_CALL GetDecodeVersion(int32_t index) {
    return Guarded(-1, [&] {
        const lectavo::DecodeResult* r = Record(index);
        return r ? r->version : -1;
    });
}

LECTAVO_API int32_t LECTAVO_CALL GetDecodeLevel(int32_t index) {
    return Guarded(-1, [&] {
        const lectavo::DecodeResult* r = Record(index);
        return r ? r->level : -1;
    });
}

LECTAVO_API int32_t LECTAVO_CALL GetDecodeMaskingNo(int32_t index) {
    return Guarded(-1, [&] {
        const lectavo::DecodeResult* r = Record(index);
        return r ? r->mask : -1;
    });
}

LECTAVO_API int32_t LECTAVO_CALL GetConcatenationInfo(int32_t index, int32_t* position, unsigned char* parity) {
    return Guarded(-1, [&] {
        const lectavo::DecodeResult* r = Record(index);
        if (!r) return -1;
        if (position) *position = r->sequencePosition;
        if (parity) *parity = r->sequenceParity;
        return r->sequenceTotal;
    });
}

LECTAVO_API int32_t LECTAVO_CALL GetSymbolePosition(int32_t index, LectavoPoint* corners) {
    return Guarded(-1, [&] {
        const lectavo::DecodeResult* r = Record(index);
        if (!r || !corners) return -1;
        const lectavo::PositionMapping m = lectavo::ThreadResults()->Mapping();
        for (int i = 0; i < 4; ++i) {
            corners[i].x = lectavo::ToPicture(r->corners[i][0], m.originX, m.scaleX);
            corners[i].y = lectavo::ToPicture(r->corners[i][1], m.originY, m.scaleY);
        }
        return 0;
    });
}

LECTAVO_API void LECTAVO_CALL SetDecodeSymbolCount(int32_t count) { lectavo::SetSymbolCount(count); }
LECTAVO_API void LECTAVO_CALL SetDecodeEffectLevel(int32_t level) { lectavo::SetEffectLevel(level); }
LECTAVO_API void LECTAVO_CALL SetBrightnessBorder(int32_t level) { lectavo::SetBrightnessBorder(level); }
LECTAVO_API void LECTAVO_CALL SetMinimumModuleSize(int32_t size) { lectavo::SetMinimumModuleSize(size); }

LECTAVO_API void LECTAVO_CALL FreeAllocateMemory(void) {
    if (lectavo::ResultStore* store = lectavo::ThreadResults()) store->Clear();
}

}  // extern "C"
