// JPEG files through libjpeg. Files libjpeg rejects, headers announcing more
// pixels than the file can hold, and anything that is not a regular file
// give kUnreadable so that the general loader can try them (and give the
// code).
#pragma once

#include "input/grey_picture.h"

namespace lectavo {

int ReadJpeg(const char* path, const PictureRect* rect, GrayPicture& out);

}  // namespace lectavo
