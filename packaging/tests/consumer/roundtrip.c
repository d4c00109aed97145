/* Built against an installed tree: encodes a text to a BMP file with the
   encoder library and reads it back with the decoder library. */
#include <stdio.h>
#include <string.h>

#include <lectavo.h>
#include <mosaire.h>

int main(int argc, char** argv) {
    const char* path = argc > 1 ? argv[1] : "consumer.bmp";
    const char* text = "installed libraries";
    QRSetDefault();
    QRSetMessage(text);
    QRSetSize(300, 300);
    if (QRSaveAsBMP(path) == 0) {
        fprintf(stderr, "cannot write %s\n", path);
        return 1;
    }
    if (DecodePictureFile(path) < 1) {
        fprintf(stderr, "no symbol read back\n");
        return 1;
    }
    unsigned char* data = NULL;
    const int length = GetDecodeData(0, &data);
    const int same = length == (int)strlen(text) && memcmp(data, text, (size_t)length) == 0;
    FreeAllocateMemory();
    printf("%s\n", same ? "round trip ok" : "round trip differs");
    return same ? 0 : 1;
}
