// JPEG files through libjpeg. Files libjpeg rejects give kUnreadable so that
// the general loader can try them.
#pragma once

#include "input/grey_picture.h"

namespace lectavo {

int ReadJpeg(const char* path, const PictureRect* rect, GrayPicture& out);

}  // namespace lectavo
