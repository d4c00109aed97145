#include "usage.h"

namespace qrtool {

void PrintUsage(std::FILE* out) {
    std::fputs(
        "Usage:\n"
        "  qrtool encode [options] TEXT|-      write one QR Code symbol\n"
        "  qrtool decode [options] FILE...     read the symbols in picture files\n"
        "\n"
        "Encode options:\n"
        "  -o, --output PATH    .bmp or .wmf file, or - to print the symbol (default -)\n"
        "      --clipboard      also put the symbol on the clipboard (enhanced metafile)\n"
        "  -l, --level L|M|Q|H  error-correction level (default L)\n"
        "  -v, --version N      smallest version to use, 1-40 (default 0: automatic)\n"
        "  -m, --mask N         0 chooses the mask, 1-8 uses mask pattern N-1 (default 0)\n"
        "      --module-cm X    module width in centimetres (default 0.07)\n"
        "      --orientation N  0-3: quarter turn clockwise, upright, counter-clockwise,\n"
        "                       half turn (default 1, upright)\n"
        "      --frame N        0 none, 1 dashed, 2 solid frame around the picture (default 0)\n"
        "      --size WxH       picture size in pixels (default 500x500)\n"
        "      --fg RRGGBB      dark module colour (default 000000)\n"
        "      --bg RRGGBB      background colour (default FFFFFF)\n"
        "      --gbk            convert the text from UTF-8 to code page 936 first\n"
        "  The text's bytes are encoded unchanged unless --gbk is given.\n"
        "\n"
        "Decode options:\n"
        "      --rect X1,Y1,X2,Y2   search only this rectangle of each picture\n"
        "      --count N|all        symbols to collect before stopping (default all)\n"
        "      --effect N           extra binarisations: 0 none, 1 vote, 2 blocks, 3 both (default 3)\n"
        "      --no-photo           skip the photo stage that runs after the binarisations\n"
        "      --border N           fixed brightness threshold 1-255 (default: computed)\n"
        "      --min-module N       minimum module size in pixels 1-255 (default 1)\n"
        "      --json               one JSON object per file\n"
        "  -j, --jobs N             files decoded at once (default: number of processors)\n"
        "\n"
        "Exit status of decode: 0 every file gave a symbol, 1 some gave none,\n"
        "2 a file could not be read, the output could not be written, or bad usage.\n",
        out);
}

}  // namespace qrtool
