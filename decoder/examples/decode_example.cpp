// Reads every QR Code symbol in the picture files named on the command line
// and prints each symbol's text (or its size in bytes) and corners.
//
//     decode_example photo.jpg sheet.png
#include <cstdio>
#include <exception>

#include "lectavo/decoder.hpp"

int main(int argc, char** argv) {
    lectavo::DecodeOptions options;  // every symbol, full effort, photo stage on
    lectavo::Workspace workspace;    // reused by the calls below
    int status = 0;
    for (int i = 1; i < argc; ++i) {
        try {
            for (const lectavo::Symbol& s : lectavo::DecodeFile(argv[i], options, workspace)) {
                std::printf("%s: version %d, ", argv[i], s.version);
                if (s.text)
                    std::printf("\"%s\"", s.text->c_str());
                else
                    std::printf("%zu bytes", s.bytes.size());
                std::printf(" at (%.1f, %.1f) (%.1f, %.1f) (%.1f, %.1f) (%.1f, %.1f)\n", s.corners[0].x, s.corners[0].y,
                            s.corners[1].x, s.corners[1].y, s.corners[2].x, s.corners[2].y, s.corners[3].x,
                            s.corners[3].y);
            }
        } catch (const std::exception& e) {  // lectavo::DecodeError, or std::bad_alloc
            std::fprintf(stderr, "%s: %s\n", argv[i], e.what());
            status = 1;
        }
    }
    return status;
}
