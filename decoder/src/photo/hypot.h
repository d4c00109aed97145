// The length of (x, y) as the C library's hypotf gives it for finite floats
// (the exact squares summed and rooted in double, then rounded to float), but
// inline: finder grouping measures every candidate pair and triple leg, where
// the library call's own cost showed.
#pragma once

#include <cmath>

namespace lectavo::photo {

inline float Hypot(float x, float y) {
    return static_cast<float>(std::sqrt(static_cast<double>(x) * x + static_cast<double>(y) * y));
}

}  // namespace lectavo::photo
