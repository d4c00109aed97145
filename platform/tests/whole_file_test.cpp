// pieces: files
#include "files/whole_file.h"

#include <gtest/gtest.h>
#include <stdlib.h>
#include <sys/mman.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <fcntl.h>
#include <unistd.h>

#include <csignal>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

namespace {

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
    std::filesystem::create_directory(folder_ + "/elsewhere");
    const std::string target = folder_ + "/elsewhere/lib.dll";
    Write(target, "old");
    const std::string link = folder_ + "/lib.dll";
    ASSERT_EQ(symlink(target.c_str(), link.c_str()), 0);
    ASSERT_EQ(chmod((folder_ + "/elsewhere").c_str(), 0555), 0);  // the temporary file would go there
    EXPECT_EQ(platform::WriteWholeFile(link, "new", 3), geteuid() == 0);
    chmod((folder_ + "/elsewhere").c_str(), 0755);
    if (geteuid() != 0) {
        EXPECT_EQ(Read(target), "old");
    }
    EXPECT_TRUE(std::filesystem::is_symlink(link));
}

TEST_F(WholeFile, TheOldFilesModeIsKept) {
    const std::string path = folder_ + "/script";
    Write(path, "old");
    ASSERT_EQ(chmod(path.c_str(), 0751), 0);
    ASSERT_TRUE(platform::WriteWholeFile(path, "new", 3));
    EXPECT_EQ(Mode(path), 0751u);
    ASSERT_EQ(chmod(path.c_str(), 0400), 0);  // read-only: still replaced, still read-only
    ASSERT_TRUE(platform::WriteWholeFile(path, "newer", 5));
    EXPECT_EQ(Mode(path), 0400u);
    EXPECT_EQ(Read(path), "newer");

    const mode_t mask = umask(027);
    ASSERT_TRUE(platform::WriteWholeFile(folder_ + "/fresh", "x", 1));
    umask(mask);
    EXPECT_EQ(Mode(folder_ + "/fresh"), 0640u);
}

TEST_F(WholeFile, AnUnwritableFolderKeepsTheOldFile) {
    if (geteuid() == 0) GTEST_SKIP() << "root writes into any folder";
    const std::string path = folder_ + "/a.bin";
    Write(path, "old");
    ASSERT_EQ(chmod(folder_.c_str(), 0555), 0);
    EXPECT_FALSE(platform::WriteWholeFile(path, "new", 3));
    chmod(folder_.c_str(), 0755);
    EXPECT_EQ(Read(path), "old");
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
