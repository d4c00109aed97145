// Writes one symbol as a BMP file through the encoder library's exports, the
// way the programs do, and prints the file's path.
//   encoder_sample [path [message]]
#include <cstdio>

#include "mosaire.h"

int main(int argc, char** argv) {
    const char* path = argc > 1 ? argv[1] : "sample.bmp";
    const char* message = argc > 2 ? argv[2] : "Hello from the QR suite";
    QRSetMessage(message);
    QRSetBackColor(255, 255, 255);
    QRSetBarColor(0, 0, 0);
    QRConfigure(0, 1, 0);
    QRAppearance(0.2, 1, 0);
    QRSetSize(500, 500);
    if (QRSaveAsBMP(path) != -1) {
        std::fprintf(stderr, "could not write %s\n", path);
        return 1;
    }
    std::printf("%s\n", path);
    return 0;
}
