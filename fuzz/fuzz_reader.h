// Any bytes as a picture file for one reader, read whole and, when the file
// held a picture and the last byte is odd, again through a rectangle taken
// from the first bytes (negative and oversized corners too). Reading a file
// that holds no picture twice would only halve the runs.
#pragma once

#include <cstddef>
#include <cstdint>

#include "fuzz_file.h"
#include "input/picture_reader.h"

namespace fuzzing {

using Reader = int (*)(const char*, const lectavo::PictureRect*, lectavo::GrayPicture&);

inline int FuzzReader(const uint8_t* data, size_t size, const char* extension, Reader read) {
    const std::string path = WriteInput(data, size, extension);
    lectavo::GrayPicture picture;
    read(path.c_str(), nullptr, picture);
    if (size > 4 && picture.HasImage() && (data[size - 1] & 1)) {
        const lectavo::PictureRect rect{static_cast<int8_t>(data[0]), static_cast<int8_t>(data[1]), data[2] * 4,
                                        data[3] * 4};
        read(path.c_str(), &rect, picture);
    }
    RemoveInput(path);
    return 0;
}

}  // namespace fuzzing
