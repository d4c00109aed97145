// The decoder's C interface as every test reaches it: the exports linked into
// the test program (the same objects the shared library is made of, target
// lectavo_exports), gathered in one value with a helper that reads one
// result's data back.
#pragma once

#include <cstdint>
#include <string>

#include "lectavo.h"

namespace testpics {

struct Lectavo {
    decltype(&::DecodePictureFile) decodePictureFile = &::DecodePictureFile;
    decltype(&::DecodeGrayScaleArray) decodeGrayScaleArray = &::DecodeGrayScaleArray;
    decltype(&::DecodeBinaryArray) decodeBinaryArray = &::DecodeBinaryArray;
    decltype(&::GetDecodeData) getDecodeData = &::GetDecodeData;
    decltype(&::GetDecodeVersion) getDecodeVersion = &::GetDecodeVersion;
    decltype(&::GetDecodeLevel) getDecodeLevel = &::GetDecodeLevel;
    decltype(&::GetDecodeMaskingNo) getDecodeMaskingNo = &::GetDecodeMaskingNo;
    decltype(&::GetConcatenationInfo) getConcatenationInfo = &::GetConcatenationInfo;
    decltype(&::GetSymbolePosition) getSymbolePosition = &::GetSymbolePosition;
    decltype(&::SetDecodeSymbolCount) setDecodeSymbolCount = &::SetDecodeSymbolCount;

    std::string Data(int index) const {
        unsigned char* data = nullptr;
        const int length = getDecodeData(index, &data);
        if (length < 0 || data == nullptr) return "<none>";
        return std::string(reinterpret_cast<const char*>(data), static_cast<size_t>(length));
    }
};

}  // namespace testpics
