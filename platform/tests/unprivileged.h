// Permission tests as an ordinary user. Root passes every permission check,
// so when the tests run as root (as CI does) the checked action runs in a
// child process that has become the user "nobody"; otherwise it runs here.
#pragma once

#include <grp.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <functional>
#include <string>

namespace platform_test {

inline constexpr uid_t kNobody = 65534;

// The user the action runs as.
inline uid_t TestUser() { return geteuid() == 0 ? kNobody : geteuid(); }

// Gives a file or folder made by the test to the test user (a no-op when the
// test is not root: it already is that user's).
inline void GiveToTestUser(const std::string& path) {
    if (geteuid() == 0) (void)lchown(path.c_str(), kNobody, kNobody);
}

// The action's result, run as the test user.
inline bool AsTestUser(const std::function<bool()>& action) {
    if (geteuid() != 0) return action();
    const pid_t child = fork();
    if (child < 0) return false;
    if (child == 0) {
        const bool dropped = setgroups(0, nullptr) == 0 && setresgid(kNobody, kNobody, kNobody) == 0 &&
                             setresuid(kNobody, kNobody, kNobody) == 0;
        _exit(dropped && action() ? 0 : 1);
    }
    int status = 0;
    while (waitpid(child, &status, 0) < 0) {
    }
    return WIFEXITED(status) && WEXITSTATUS(status) == 0;
}

}  // namespace platform_test
