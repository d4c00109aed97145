// Seeds: GIF files of bars and of a checkerboard.
#include "picture_files.h"
#include "seed_writer.h"

int main(int argc, char** argv) {
    if (argc < 2) return 2;
    const char* folder = argv[1];
    bool ok = fuzzing::WriteSeed(folder, "bars.gif", testfiles::MakeGif(22, 21, [](int x, int) { return x % 3; }));
    ok &= fuzzing::WriteSeed(folder, "check.gif", testfiles::MakeGif(9, 7, [](int x, int y) { return (x + y) & 1; }));
    return ok ? 0 : 1;
}
