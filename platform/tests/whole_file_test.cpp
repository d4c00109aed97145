// pieces: files
#include "files/whole_file.h"

#include <gtest/gtest.h>
#include <stdlib.h>
#include <sys/mman.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <fcntl.h>
#include <unistd.h>

#include <csignal>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include "unprivileged.h"

namespace {

using platform_test::AsTestUser;
using platform_test::GiveToTestUser;

class WholeFile : public ::testing::Test {
protected:
    void SetUp() override {
        char pattern[] = "/tmp/whole_file_test-XXXXXX";
        ASSERT_NE(mkdtemp(pattern), nullptr);
        folder_ = pattern;
    }
    void TearDown() override { std::filesystem::remove_all(folder_); }
    std::string folder_;
};

std::string Read(const std::string& path) {
    const auto bytes = platform::ReadWholeFile(path);
    return bytes ? std::string(bytes->begin(), bytes->end()) : std::string("<missing>");
}

void Write(const std::string& path, const std::string& text) { std::ofstream(path, std::ios::binary) << text; }

unsigned Mode(const std::string& path) {
    struct stat info {};
    return stat(path.c_str(), &info) == 0 ? info.st_mode & 07777 : 0;
}

TEST_F(WholeFile, WritesReadsAndDeletes) {
    const std::string path = folder_ + "/a.bin";
    const std::string bytes("one\0two", 7);
    ASSERT_TRUE(platform::WriteWholeFile(path, bytes.data(), bytes.size()));
    const auto read = platform::ReadWholeFile(path);
    ASSERT_TRUE(read.has_value());
    EXPECT_EQ(std::string(read->begin(), read->end()), bytes);
    EXPECT_TRUE(platform::DeleteFile(path));
    EXPECT_FALSE(platform::ReadWholeFile(path).has_value());
    EXPECT_FALSE(platform::DeleteFile(path));
    // Only the target is left behind: no temporary files.
    EXPECT_TRUE(std::filesystem::is_empty(folder_));
}

TEST_F(WholeFile, EmptyFileReadsAsNoBytes) {
    const std::string path = folder_ + "/empty";
    ASSERT_TRUE(platform::WriteWholeFile(path, nullptr, 0));
    const auto read = platform::ReadWholeFile(path);
    ASSERT_TRUE(read.has_value());
    EXPECT_TRUE(read->empty());
}

TEST_F(WholeFile, ReplacementLeavesAMappedOldFileIntact) {
    const std::string path = folder_ + "/lib.dll";
    const std::string old_bytes(4096, 'o');
    ASSERT_TRUE(platform::WriteWholeFile(path, old_bytes.data(), old_bytes.size()));
    const int fd = open(path.c_str(), O_RDONLY);
    ASSERT_GE(fd, 0);
    void* map = mmap(nullptr, old_bytes.size(), PROT_READ, MAP_PRIVATE, fd, 0);
    ASSERT_NE(map, MAP_FAILED);
    const std::string new_bytes(100, 'n');
    ASSERT_TRUE(platform::WriteWholeFile(path, new_bytes.data(), new_bytes.size()));
    EXPECT_EQ(std::memcmp(map, old_bytes.data(), old_bytes.size()), 0);
    munmap(map, old_bytes.size());
    close(fd);
    EXPECT_EQ(platform::ReadWholeFile(path)->size(), new_bytes.size());
}

TEST_F(WholeFile, FailuresLeaveTheTargetUntouched) {
    EXPECT_FALSE(platform::WriteWholeFile(folder_ + "/missing/a.bin", "x", 1));
    EXPECT_FALSE(platform::WriteWholeFile("", "x", 1));
    EXPECT_FALSE(platform::WriteWholeFile(folder_ + "/a", nullptr, 5));
    EXPECT_FALSE(platform::ReadWholeFile(folder_).has_value());  // a folder
    EXPECT_FALSE(platform::WriteWholeFile(folder_, "x", 1));
    EXPECT_TRUE(std::filesystem::is_empty(folder_));
}

TEST_F(WholeFile, PartsAreWrittenOneAfterAnother) {
    const std::string path = folder_ + "/out.bin";
    const std::vector<uint8_t> a = {'a', 'b', 'c'}, b = {'d'}, none;
    ASSERT_TRUE(platform::WriteWholeFile(path, {a, none, b}));
    EXPECT_EQ(Read(path), "abcd");
    ASSERT_TRUE(platform::WriteWholeFile(path, {b}));
    EXPECT_EQ(Read(path), "d");
}

TEST_F(WholeFile, ALinkIsFollowedAndItsTargetReplaced) {
    const std::string target = folder_ + "/target.bin";
    const std::string link = folder_ + "/link.bin";
    const std::string link_to_link = folder_ + "/link2.bin";
    Write(target, "old");
    ASSERT_EQ(symlink("target.bin", link.c_str()), 0);  // relative to the link's folder
    ASSERT_EQ(symlink(link.c_str(), link_to_link.c_str()), 0);
    ASSERT_TRUE(platform::WriteWholeFile(link_to_link, "new", 3));
    EXPECT_TRUE(std::filesystem::is_symlink(link_to_link));
    EXPECT_TRUE(std::filesystem::is_symlink(link));
    EXPECT_EQ(Read(target), "new");

    // A dangling link makes its target.
    const std::string dangling = folder_ + "/dangling";
    ASSERT_EQ(symlink("made.bin", dangling.c_str()), 0);
    ASSERT_TRUE(platform::WriteWholeFile(dangling, "made", 4));
    EXPECT_TRUE(std::filesystem::is_symlink(dangling));
    EXPECT_EQ(Read(folder_ + "/made.bin"), "made");

    const std::string loop = folder_ + "/loop";
    ASSERT_EQ(symlink("loop", loop.c_str()), 0);
    EXPECT_FALSE(platform::WriteWholeFile(loop, "x", 1));
}

TEST_F(WholeFile, ALinkIntoAnotherFolderReplacesTheTargetThere) {
    const std::string elsewhere = folder_ + "/elsewhere";
    std::filesystem::create_directory(elsewhere);
    const std::string target = elsewhere + "/lib.dll";
    const std::string link = folder_ + "/lib.dll";
    Write(target, "old");
    ASSERT_EQ(symlink(target.c_str(), link.c_str()), 0);
    ASSERT_EQ(chmod(folder_.c_str(), 0755), 0);
    for (const std::string& path : {folder_, elsewhere, target, link}) GiveToTestUser(path);
    EXPECT_TRUE(AsTestUser([&] { return platform::WriteWholeFile(link, "new", 3); }));
    EXPECT_EQ(Read(target), "new");
    EXPECT_TRUE(std::filesystem::is_symlink(link));

    // The temporary file would go into the target's folder: unwritable there,
    // the target stays as it was.
    ASSERT_EQ(chmod(elsewhere.c_str(), 0555), 0);
    EXPECT_FALSE(AsTestUser([&] { return platform::WriteWholeFile(link, "newer", 5); }));
    EXPECT_FALSE(AsTestUser([&] { return platform::WriteWholeFile(target, "newer", 5); }));
    chmod(elsewhere.c_str(), 0755);
    EXPECT_EQ(Read(target), "new");
    EXPECT_EQ(std::distance(std::filesystem::directory_iterator(elsewhere), {}), 1);
}

TEST_F(WholeFile, TheOldFilesModeIsKept) {
    const std::string path = folder_ + "/script";
    Write(path, "old");
    ASSERT_EQ(chmod(path.c_str(), 0751), 0);
    ASSERT_TRUE(platform::WriteWholeFile(path, "new", 3));
    EXPECT_EQ(Mode(path), 0751u);
    ASSERT_EQ(chmod(path.c_str(), 0600), 0);
    ASSERT_TRUE(platform::WriteWholeFile(path, "newer", 5));
    EXPECT_EQ(Mode(path), 0600u);
    EXPECT_EQ(Read(path), "newer");

    // A new file gets 0666 less the umask, which is left as it was.
    const mode_t mask = umask(027);
    ASSERT_TRUE(platform::WriteWholeFile(folder_ + "/fresh", "x", 1));
    EXPECT_EQ(umask(mask), 027u);
    EXPECT_EQ(Mode(folder_ + "/fresh"), 0640u);
}

// A file the user could not open for writing is not replaced, even where
// the user may rename files (the user's own folder), directly or through a
// link.
TEST_F(WholeFile, AFileTheUserCannotWriteIsNeverReplaced) {
    const std::string path = folder_ + "/read-only";
    const std::string link = folder_ + "/link";
    Write(path, "old");
    ASSERT_EQ(chmod(path.c_str(), 0444), 0);
    ASSERT_EQ(symlink("read-only", link.c_str()), 0);
    ASSERT_EQ(chmod(folder_.c_str(), 0755), 0);
    GiveToTestUser(folder_);
    GiveToTestUser(link);
    EXPECT_FALSE(AsTestUser([&] { return platform::WriteWholeFile(path, "new", 3); }));
    EXPECT_FALSE(AsTestUser([&] { return platform::WriteWholeFile(link, "new", 3); }));
    EXPECT_EQ(Read(path), "old");
    EXPECT_TRUE(std::filesystem::is_symlink(link));
    EXPECT_EQ(std::distance(std::filesystem::directory_iterator(folder_), {}), 2);
}

TEST_F(WholeFile, AnUnwritableFolderKeepsTheOldFile) {
    const std::string path = folder_ + "/a.bin";
    Write(path, "old");
    GiveToTestUser(folder_);
    GiveToTestUser(path);
    ASSERT_EQ(chmod(folder_.c_str(), 0555), 0);
    EXPECT_FALSE(AsTestUser([&] { return platform::WriteWholeFile(path, "new", 3); }));
    EXPECT_FALSE(AsTestUser([&] { return platform::WriteWholeFile(folder_ + "/b.bin", "new", 3); }));
    chmod(folder_.c_str(), 0755);
    EXPECT_EQ(Read(path), "old");
}

// Another user's link in a sticky, world-writable folder (a trap laid in
// /tmp) is followed exactly when the kernel follows it for this user: never
// with fs.protected_symlinks on. Making another user's link needs root.
TEST_F(WholeFile, AnotherUsersLinkInAStickyFolderIsFollowedOnlyAsTheKernelAllows) {
    if (geteuid() != 0) GTEST_SKIP() << "making another user's link needs root";
    const std::string sticky = folder_ + "/sticky";
    const std::string victim = folder_ + "/victim";
    std::filesystem::create_directory(sticky);
    std::filesystem::create_directory(victim);
    ASSERT_EQ(chmod(folder_.c_str(), 0755), 0);
    ASSERT_EQ(chmod(sticky.c_str(), 01777), 0);
    const std::string precious = victim + "/precious";
    Write(precious, "old");
    GiveToTestUser(victim);
    GiveToTestUser(precious);
    const std::string trap = sticky + "/out.bmp";
    ASSERT_EQ(symlink(precious.c_str(), trap.c_str()), 0);
    ASSERT_EQ(lchown(trap.c_str(), 4242, 4242), 0);  // neither the folder's owner nor the writer

    const bool kernel_follows = AsTestUser([&] {
        const int fd = open(trap.c_str(), O_WRONLY);
        return fd >= 0 && close(fd) == 0;
    });
    std::ifstream setting("/proc/sys/fs/protected_symlinks");
    int protection = 0;
    if (setting >> protection && protection != 0) {
        EXPECT_FALSE(kernel_follows);
    }
    EXPECT_EQ(AsTestUser([&] { return platform::WriteWholeFile(trap, "new", 3); }), kernel_follows);
    EXPECT_EQ(Read(precious), kernel_follows ? "new" : "old");
    EXPECT_TRUE(std::filesystem::is_symlink(trap));
}

TEST_F(WholeFile, AFullDiskKeepsTheOldFileAndLeavesNoTemporary) {
    const std::string path = folder_ + "/a.bin";
    Write(path, "old");
    // RLIMIT_FSIZE makes a write past the limit fail as a full disk would.
    struct sigaction ignore {};
    ignore.sa_handler = SIG_IGN;
    struct sigaction old_action {};
    sigaction(SIGXFSZ, &ignore, &old_action);
    rlimit old_limit{};
    getrlimit(RLIMIT_FSIZE, &old_limit);
    rlimit small = old_limit;
    small.rlim_cur = 1024;
    ASSERT_EQ(setrlimit(RLIMIT_FSIZE, &small), 0);
    const std::string big(4096, 'n');
    const bool written = platform::WriteWholeFile(path, big.data(), big.size());
    setrlimit(RLIMIT_FSIZE, &old_limit);
    sigaction(SIGXFSZ, &old_action, nullptr);
    EXPECT_FALSE(written);
    EXPECT_EQ(Read(path), "old");
    EXPECT_EQ(std::distance(std::filesystem::directory_iterator(folder_), {}), 1);
}

TEST_F(WholeFile, ARunningProgramIsReplacedWhole) {
    // The kernel refuses to open a running program for writing (ETXTBSY);
    // it is replaced by a new file all the same, and keeps running.
    const std::string program = folder_ + "/sleeper";
    std::filesystem::copy_file("/bin/sleep", program);
    const pid_t child = fork();
    ASSERT_GE(child, 0);
    if (child == 0) {
        execl(program.c_str(), "sleeper", "5", static_cast<char*>(nullptr));
        _exit(127);
    }
    for (int i = 0; i < 1000 && Read("/proc/" + std::to_string(child) + "/comm") != "sleeper\n"; ++i) usleep(1000);
    EXPECT_TRUE(platform::WriteWholeFile(program, "new", 3));
    EXPECT_EQ(Read(program), "new");
    kill(child, SIGKILL);
    waitpid(child, nullptr, 0);
}

TEST_F(WholeFile, NonRegularFilesAreWrittenInPlace) {
    // A pipe stands in for a device such as /dev/null (which only root could
    // lose): reached directly or through a link, it stays and gets the bytes.
    const std::string pipe_path = folder_ + "/pipe";
    const std::string link = folder_ + "/link";
    ASSERT_EQ(mkfifo(pipe_path.c_str(), 0600), 0);
    ASSERT_EQ(symlink("pipe", link.c_str()), 0);
    const int reader = open(pipe_path.c_str(), O_RDONLY | O_NONBLOCK);
    ASSERT_GE(reader, 0);
    ASSERT_TRUE(platform::WriteWholeFile(pipe_path, "one", 3));
    ASSERT_TRUE(platform::WriteWholeFile(link, "two", 3));
    char got[8] = {};
    EXPECT_EQ(read(reader, got, sizeof(got)), 6);
    close(reader);
    EXPECT_EQ(std::string(got), "onetwo");
    EXPECT_TRUE(std::filesystem::is_fifo(pipe_path));
    EXPECT_TRUE(std::filesystem::is_symlink(link));
}

}  // namespace
