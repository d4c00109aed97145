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
// `searchedModules`, when positive, is the radius of a search from the same
// `predicted`, `ex` and `ey` that found nothing: its positions, which score
// too low, are passed over.
bool FindAlignment(const BinaryPicture& plane, PointF predicted, PointF ex, PointF ey, float radiusModules,
                   PointF& found, int* score = nullptr, float searchedModules = 0);

}  // namespace lectavo::photo
