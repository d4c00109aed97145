// Any picture format the platform's image loader reads. Pixels that are not
// square are made square by stretching the axis of lower resolution, and the
// stretch is reported in the picture's scales.
#pragma once

#include "input/grey_picture.h"

namespace lectavo {

int LoadGeneral(const char* path, const PictureRect* rect, GrayPicture& out);

}  // namespace lectavo
