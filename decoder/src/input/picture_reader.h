// Reading a picture file (or a rectangle of one) into a grey image: the
// reader is chosen by extension, with the general loader as fallback.
#pragma once

#include "input/grey_picture.h"

namespace lectavo {

// 0 with an image, 0 without one (rectangle outside the picture or smaller
// than 21 x 21), or a negative code.
int ReadPicture(const char* path, const PictureRect* rect, GrayPicture& out);

}  // namespace lectavo
