// Any bytes as a whole picture file held in memory, for one of the general
// loader's decoders, within small limits so each run stays fast.
#pragma once

#include <cstddef>
#include <cstdint>

#include "image/codecs/codecs.h"

namespace fuzzing {

using Decoder = platform::ImageStatus (*)(platform::codecs::Bytes, const platform::codecs::Limits&,
                                          platform::codecs::Picture&);

inline int FuzzCodec(const uint8_t* data, size_t size, Decoder decode) {
    platform::codecs::Picture picture;
    decode({data, size}, {4096, 4194304}, picture);
    return 0;
}

}  // namespace fuzzing
