// The bottom-right outer corner of a symbol without an alignment pattern:
// where the line of the top-right finder's right edge meets the line of the
// bottom-left finder's bottom edge.
#pragma once

#include "photo/grey_view.h"
#include "photo/perspective_transform.h"

namespace lectavo::photo {

// `rough` maps module coordinates to the picture and must be accurate near
// the top-right and bottom-left finders (an affine map through the finder
// centres is). False when either edge cannot be traced.
bool FindOuterCorner(const BinaryPicture& plane, const Homography& rough, int side, PointF& corner);

}  // namespace lectavo::photo
