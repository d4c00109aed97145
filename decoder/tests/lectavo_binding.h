// The decoder's exports bound from the built library file, as the programs
// bind them, plus helpers that read one result back for the tests.
#pragma once

#include <dlfcn.h>

#include <cstdint>
#include <string>
#include <type_traits>

#include "lectavo.h"

namespace testpics {

struct Lectavo {
    decltype(&::DecodePictureFile) decodePictureFile = nullptr;
    decltype(&::DecodeGrayScaleArray) decodeGrayScaleArray = nullptr;
    decltype(&::DecodeBinaryArray) decodeBinaryArray = nullptr;
    decltype(&::GetDecodeData) getDecodeData = nullptr;
    decltype(&::GetDecodeVersion) getDecodeVersion = nullptr;
    decltype(&::GetDecodeLevel) getDecodeLevel = nullptr;
    decltype(&::GetDecodeMaskingNo) getDecodeMaskingNo = nullptr;
    decltype(&::GetConcatenationInfo) getConcatenationInfo = nullptr;
    decltype(&::GetSymbolePosition) getSymbolePosition = nullptr;
    decltype(&::SetDecodeSymbolCount) setDecodeSymbolCount = nullptr;

    bool Loaded() const { return setDecodeSymbolCount != nullptr; }

    std::string Data(int index) const {
        unsigned char* data = nullptr;
        const int length = getDecodeData(index, &data);
        if (length < 0 || data == nullptr) return "<none>";
        return std::string(reinterpret_cast<const char*>(data), static_cast<size_t>(length));
    }
};

// Binds the exports from "<dir>/Lectavo.dll"; Loaded() is false when the file
// or one of the names is missing. The library stays loaded.
inline Lectavo BindLectavo(const std::string& dir) {
    Lectavo l;
    void* handle = dlopen((dir + "/Lectavo.dll").c_str(), RTLD_NOW | RTLD_LOCAL);
    if (!handle) return l;
    auto bind = [&](auto& fn, const char* name) {
        fn = reinterpret_cast<std::remove_reference_t<decltype(fn)>>(dlsym(handle, name));
        return fn != nullptr;
    };
    const bool all =
        bind(l.decodePictureFile, "DecodePictureFile") && bind(l.decodeGrayScaleArray, "DecodeGrayScaleArray") &&
        bind(l.decodeBinaryArray, "DecodeBinaryArray") && bind(l.getDecodeData, "GetDecodeData") &&
        bind(l.getDecodeVersion, "GetDecodeVersion") && bind(l.getDecodeLevel, "GetDecodeLevel") &&
        bind(l.getDecodeMaskingNo, "GetDecodeMaskingNo") && bind(l.getConcatenationInfo, "GetConcatenationInfo") &&
        bind(l.getSymbolePosition, "GetSymbolePosition") && bind(l.setDecodeSymbolCount, "SetDecodeSymbolCount");
    if (!all) l.setDecodeSymbolCount = nullptr;
    return l;
}

}  // namespace testpics
