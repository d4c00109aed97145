// Any picture format the platform's image loader reads. Pixels that are not
// square are made square by stretching the axis of lower resolution, and the
// stretch is reported in the picture's scales.
#pragma once

#include "image/image_file.h"
#include "input/grey_picture.h"

namespace lectavo {

int LoadGeneral(const char* path, const PictureRect* rect, GrayPicture& out);

// Loads the whole picture through the platform's loader within the size
// limits: 0, or kFileNotFound, kSharingViolation, kUnreadable (also for a
// size beyond the limits or beyond what the file can hold, and for a file
// that is not a regular file) or kOutOfMemory.
int LoadWithinLimits(const char* path, platform::ImageFile& image);

}  // namespace lectavo
