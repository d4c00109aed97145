// qrtool: the encoder and decoder libraries on the command line.
#include <cstdio>
#include <cstring>

#include "decode_command.h"
#include "encode_command.h"
#include "usage.h"

int main(int argc, char** argv) {
    if (argc >= 2 && std::strcmp(argv[1], "encode") == 0) return qrtool::RunEncode(argc, argv);
    if (argc >= 2 && std::strcmp(argv[1], "decode") == 0) return qrtool::RunDecode(argc, argv);
    if (argc >= 2 && (std::strcmp(argv[1], "--help") == 0 || std::strcmp(argv[1], "-h") == 0)) {
        qrtool::PrintUsage(stdout);
        return 0;
    }
    qrtool::PrintUsage(stderr);
    return 2;
}
