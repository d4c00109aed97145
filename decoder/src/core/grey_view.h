// A grey picture the caller owns: 0 black .. 255 white, rows top to bottom,
// no padding. What the photo stage reads, and what a file reader's picture
// lends it.
#pragma once

#include <cstdint>

namespace lectavo {

struct GreyView {
    const uint8_t* pixels = nullptr;
    int width = 0;
    int height = 0;
};

}  // namespace lectavo
