#include "gdi/clipboard.h"

#include <fcntl.h>
#include <spawn.h>
#include <sys/socket.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cerrno>
#include <cstdlib>

extern char** environ;

namespace platform {

namespace {

bool IsSet(const char* name) {
    const char* v = std::getenv(name);
    return v != nullptr && *v != '\0';
}

// Runs argv[0] with `data` on its standard input and its output discarded;
// true when it exits with status 0. A socket pair stands in for the pipe so
// a tool that dies early cannot raise SIGPIPE in the caller's process.
bool RunWithInput(char* const argv[], const std::vector<uint8_t>& data) {
    int fds[2];
    if (socketpair(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC, 0, fds) != 0) return false;
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_adddup2(&actions, fds[1], STDIN_FILENO);
    posix_spawn_file_actions_addopen(&actions, STDOUT_FILENO, "/dev/null", O_WRONLY, 0);
    posix_spawn_file_actions_addopen(&actions, STDERR_FILENO, "/dev/null", O_WRONLY, 0);
    pid_t pid = 0;
    const int spawned = posix_spawnp(&pid, argv[0], &actions, nullptr, argv, environ);
    posix_spawn_file_actions_destroy(&actions);
    close(fds[1]);
    if (spawned != 0) {
        close(fds[0]);
        return false;
    }
    size_t sent = 0;
    while (sent < data.size()) {
        const ssize_t n = send(fds[0], data.data() + sent, data.size() - sent, MSG_NOSIGNAL);
        if (n < 0 && errno == EINTR) continue;
        if (n <= 0) break;
        sent += static_cast<size_t>(n);
    }
    close(fds[0]);
    int status = 0;
    while (waitpid(pid, &status, 0) < 0) {
        if (errno != EINTR) return false;
    }
    return sent == data.size() && WIFEXITED(status) && WEXITSTATUS(status) == 0;
}

}  // namespace

bool PutEnhancedMetafileOnClipboard(const std::vector<uint8_t>& emf) {
    if (IsSet("WAYLAND_DISPLAY")) {
        char* argv[] = {const_cast<char*>("wl-copy"), const_cast<char*>("--type"), const_cast<char*>(kEmfMimeType),
                        nullptr};
        return RunWithInput(argv, emf);
    }
    if (IsSet("DISPLAY")) {
        char* argv[] = {const_cast<char*>("xclip"),
                        const_cast<char*>("-selection"),
                        const_cast<char*>("clipboard"),
                        const_cast<char*>("-t"),
                        const_cast<char*>(kEmfMimeType),
                        const_cast<char*>("-i"),
                        nullptr};
        return RunWithInput(argv, emf);
    }
    return false;
}

}  // namespace platform
