// qrtool: the encoder and decoder libraries on the command line.
#include <cerrno>
#include <csignal>
#include <cstdio>
#include <cstring>
#include <new>

#include "decode_command.h"
#include "encode_command.h"
#include "usage.h"

namespace {

int Run(int argc, char** argv) {
    if (argc >= 2 && std::strcmp(argv[1], "encode") == 0) return qrtool::RunEncode(argc, argv);
    if (argc >= 2 && std::strcmp(argv[1], "decode") == 0) return qrtool::RunDecode(argc, argv);
    if (argc >= 2 && (std::strcmp(argv[1], "--help") == 0 || std::strcmp(argv[1], "-h") == 0)) {
        qrtool::PrintUsage(stdout);
        return 0;
    }
    qrtool::PrintUsage(stderr);
    return 2;
}

// Whether everything written to standard output reached it: a write that
// failed on the way (a full disk, a closed pipe) or the last flush.
bool OutputComplete() {
    const bool earlier_failure = std::ferror(stdout) != 0;
    errno = 0;
    const bool flushed = std::fflush(stdout) == 0;
    int error = flushed ? 0 : errno;
    const bool closed = std::fclose(stdout) == 0;
    if (!closed && error == 0) error = errno;
    if (!earlier_failure && flushed && closed) return true;
    std::fprintf(stderr, "qrtool: cannot write the output%s%s\n", error != 0 ? ": " : "",
                 error != 0 ? std::strerror(error) : "");
    return false;
}

}  // namespace

int main(int argc, char** argv) {
#ifdef SIGPIPE
    // A closed pipe is a write error like any other: told, with a failure
    // status, rather than a silent end by the signal.
    std::signal(SIGPIPE, SIG_IGN);
#endif
    int status = 0;
    try {
        status = Run(argc, argv);
    } catch (const std::bad_alloc&) {
        std::fprintf(stderr, "qrtool: out of memory\n");
        status = 2;
    }
    if (!OutputComplete()) {
        // As for any other output that cannot be written: 1 for encode, 2
        // (an error) otherwise.
        const bool encode = argc >= 2 && std::strcmp(argv[1], "encode") == 0;
        status = encode ? (status == 0 ? 1 : status) : 2;
    }
    return status;
}
