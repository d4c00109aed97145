// Uncompressed bottom-up BMP files of 1, 4, 8 or 24 bits per pixel with
// square pixels, read from the whole file held in memory (mapped on
// Windows). Anything else gives kUnreadable so that the general loader can
// try the file, and gives the code.
#pragma once

#include "input/grey_picture.h"

namespace lectavo {

int ReadBmp(const char* path, const PictureRect* rect, GrayPicture& out);

}  // namespace lectavo
