// Alignment pattern (5 x 5 modules: dark ring, light ring, dark centre)
// searched near its predicted place by matching the pattern under the local
// module axes.
#pragma once

#include "photo/grey_view.h"

namespace lectavo::photo {

// `predicted` is the expected centre, `ex` and `ey` the picture steps of one
// module along the symbol's columns and rows there. Positions within
// `radiusModules` are scored; the centre of the best ones is returned when
// the pattern matches well enough.
// `score` receives how many of the 25 modules matched.
bool FindAlignment(const BinaryPicture& plane, PointF predicted, PointF ex, PointF ey, float radiusModules,
                   PointF& found, int* score = nullptr);

}  // namespace lectavo::photo
